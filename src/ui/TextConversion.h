#pragma once

#include <QString>

#include <string>
#include <string_view>

// The tally and the store speak std::string, the window QString. The fixed
// texts of the denomination table are plain ASCII views; every other string is
// UTF-8, the user's typing and the system's error reasons included.
inline QString toQString(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString toQString(const std::string& text)
{
    return QString::fromStdString(text);
}

inline std::string toStd(const QString& text)
{
    return text.toStdString();
}
