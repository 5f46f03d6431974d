#pragma once

#include <QString>

#include <string>
#include <string_view>

// The tally and the store speak std::string, the window QString; both sides
// hold UTF-8, the user's typing, the log's items and the denomination names alike.
inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStd(const QString& text)
{
    return text.toStdString();
}
