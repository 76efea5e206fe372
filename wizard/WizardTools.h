// What the wizard asks of the loaded tools library: product names and
// features, and its message boxes. Without a loaded library (never in a real
// run: start-up stops first) names are empty, features absent, a message is
// not shown and a question counts as answered Yes.
#pragma once

#include "ToolsInterface.h"
#include "VnString.h"

namespace wizard_tools {

VnString ProductName(int form);
bool HasFeature(int feature);
// ShowMessage of the tools library: an information box with OK.
void ShowMessage(const VnString& text, const VnString& title);
// AskQuestion of the tools library: true when the answer is Yes.
bool AskYes(const VnString& text, const VnString& title);

}  // namespace wizard_tools
