#include "CommandLine.h"

namespace {

bool IsOddBackslashRunBefore(std::u16string_view text, size_t position) {
    size_t backslashes = 0;
    while (position > backslashes && text[position - backslashes - 1] == u'\\') ++backslashes;
    return backslashes % 2 == 1;
}

constexpr std::u16string_view kDistributorIdOption = u"DistributorID";

struct FlagOption {
    std::u16string_view name;
    bool InstallOptions::*field;
};

// Matched in this order after "DistributorID"; a name that begins another
// ("NoUpgrade" vs "Upgrade") never matches it, since pieces match at their start.
constexpr FlagOption kFlagOptions[] = {
    {u"Silent", &InstallOptions::Silent},
    {u"Upgrade", &InstallOptions::Upgrade},
    {u"NoAssociations", &InstallOptions::NoAssociations},
    {u"NoDependencies", &InstallOptions::NoDependencies},
    {u"NoUpgrade", &InstallOptions::NoUpgrade},
    {u"NoDriver", &InstallOptions::NoDriver},
    {u"NoRun", &InstallOptions::NoRun},
};

bool PieceStartsWithOption(std::u16string_view piece, std::u16string_view name) {
    return piece.size() >= name.size() &&
           VnString::CompareNoCase(piece.substr(0, name.size()), name) == 0;
}

void ApplyOptionPiece(std::u16string_view piece, InstallOptions& options) {
    if (PieceStartsWithOption(piece, kDistributorIdOption)) {
        VnString value(piece.substr(kDistributorIdOption.size()));
        options.DistributorID = value.Trim();
        return;
    }
    for (const FlagOption& option : kFlagOptions) {
        if (PieceStartsWithOption(piece, option.name)) {
            options.*option.field = true;
            return;
        }
    }
}

}  // namespace

VnStringArray SplitCommandLine(std::u16string_view commandLine) {
    VnStringArray arguments;
    VnString current;
    bool inQuotes = false;
    for (size_t i = 0; i < commandLine.size(); ++i) {
        const char16_t c = commandLine[i];
        if (c == u'"') {
            if (IsOddBackslashRunBefore(commandLine, i)) {
                current += c;
            } else if (inQuotes) {
                arguments.Add(current);
                current.Empty();
                inQuotes = false;
            } else {
                inQuotes = true;
            }
        } else if (c == u' ' && !inQuotes) {
            if (!current.IsEmpty()) arguments.Add(current);
            current.Empty();
        } else {
            current += c;
        }
    }
    if (!current.IsEmpty()) arguments.Add(current);
    return arguments;
}

VnString JoinCommandLine(const VnStringArray& arguments) {
    VnString joined;
    for (int32_t i = 0; i < arguments.GetSize(); ++i) {
        VnString argument = arguments[i];
        argument.Replace(u"\"", u"\\\"");
        if (argument.FindOneOf(u" '()") >= 0) argument = u"\"" + argument + u"\"";
        if (i > 0) joined += u' ';
        joined += argument;
    }
    return joined;
}

bool ParseCommandLineOptions(std::u16string_view optionString, InstallOptions& options) {
    const VnStringArray pieces = VnStringArray::Split(optionString, u"/");
    for (int32_t i = 1; i < pieces.GetSize(); ++i) ApplyOptionPiece(pieces[i], options);
    return true;
}
