// Translation of user-visible texts.
//
// Every text the tool shows goes through Translate(context, source, comment):
// the context is the message category ("Fatal Error", "User Warning", ...),
// the comment tells translators what the placeholders hold and is part of the
// catalogue key. Placeholders "%1", "%2" are filled by the caller afterwards;
// several placeholders are filled in one QString::arg call so that a value
// containing "%2" is never substituted again.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace support {

QString Translate(const char* context, const char* source, const char* comment = nullptr);

/// Bytes in the local 8-bit encoding (file names, system texts) as a QString.
QString FromLocal(std::string_view bytes);

/// A QString in the local 8-bit encoding, as written to the terminal.
std::string ToLocal(const QString& text);

}  // namespace support
