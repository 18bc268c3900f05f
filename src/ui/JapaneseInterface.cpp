#include "ui/JapaneseInterface.h"

#include "res/DialogTemplates.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <optional>
#include <utility>
#include <vector>

namespace pirela {

namespace {

// The few texts of Qt's file dialogs that its Japanese translation lacks: the type column's
// words for folders, drives and links.
class FileTypeTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0) {
            return {};
        }
        static const struct {
            const char* source;
            const char* japanese;
        } kTexts[] = {{"Folder", "フォルダ"},
                      {"Drive", "ドライブ"},
                      {"Shortcut", "ショートカット"},
                      {"Unknown", "不明"}};
        for (const auto& text : kTexts) {
            if (qstrcmp(sourceText, text.source) == 0) {
                return QString::fromUtf8(text.japanese);
            }
        }
        return {};
    }
};

// The variables that choose the locale, the strongest first.
constexpr const char* kLocaleVariables[] = {"LC_ALL",      "LC_TIME",     "LC_NUMERIC",
                                            "LC_MONETARY", "LC_MEASUREMENT", "LC_MESSAGES",
                                            "LANG",        "LANGUAGE"};

} // namespace

void ReadSystemLocaleAsJapanese() {
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved;
    for (const char* variable : kLocaleVariables) {
        saved.emplace_back(variable, qEnvironmentVariableIsSet(variable)
                                         ? std::optional<QByteArray>(qgetenv(variable))
                                         : std::nullopt);
        qunsetenv(variable);
    }
    qputenv("LANG", "ja_JP.UTF-8");
    (void)QLocale::system().name();
    for (const auto& [variable, value] : saved) {
        if (value) {
            qputenv(variable, *value);
        } else {
            qunsetenv(variable);
        }
    }
}

bool PrepareJapaneseInterface(QApplication& application) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QFont::insertSubstitutions(res::kDialogFontFamily,
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                QStringLiteral("Noto Sans CJK JP")});
    application.setFont(QFont(res::kDialogFontFamily, res::kDialogFontPoints));

    QApplication::installTranslator(new FileTypeTranslator(&application));
    auto* translator = new QTranslator(&application);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_ja"), folder)) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

} // namespace pirela
