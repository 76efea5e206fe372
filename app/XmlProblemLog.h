// Reports the problems a parse met in a document that was still usable (one
// properly ended root): the settings are read, and the log says what was
// wrong with the file so that it can be fixed.
#pragma once

#include "VnString.h"
#include "VnXmlDocument.h"

// Logs "<path>: <problems>" under `source` when the parse of `document`
// recorded any problem; nothing otherwise. Without a loaded tools library
// nothing is logged.
void LogXmlProblems(const VnString& source, const VnString& path, const VnXmlDocument& document);
