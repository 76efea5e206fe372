// The parameter text a companion program was started with, read word by word
// from the front. The installer passes a path unquoted after its switch
// ("/RegDLL C:\Program Files\Tunaro 33\VnAudio.dll"), and RunOnce quotes the
// switch itself ("\"/FinishInstall\""), so the text is not split into
// arguments: a switch is the next word, the rest of the line its argument.
#pragma once

#include <string_view>

#include "VnString.h"

class CompanionCommandLine {
public:
    explicit CompanionCommandLine(const VnString& parameters) : text_(parameters) {}

    // Consumes the next word when it is `word` (compared without regard to
    // case; double quotes around the word allowed). False leaves it in place.
    bool Take(std::u16string_view word);
    // The rest of the line without white space around it and without one pair
    // of enclosing double quotes.
    VnString Rest() const;

private:
    VnString text_;
    int32_t position_ = 0;
};
