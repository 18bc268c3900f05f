#pragma once

#include <QString>

#include <string>
#include <string_view>

// The core speaks UTF-8 std::string; Qt speaks QString. Texts cross here and nowhere else.
namespace pirela {

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

// A control's text as the user reads it: "名前(&N):" reads "名前(N):", "R&&D" reads "R&D".
inline QString WithoutMnemonic(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

} // namespace pirela
