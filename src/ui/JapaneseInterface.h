#pragma once

class QApplication;

namespace pirela {

// Makes the whole interface Japanese whatever the system's locale: Qt's own Japanese
// translation (so standard buttons read はい, いいえ, キャンセル) and the dialog font mapped to
// an installed Japanese font. Returns false when the translation is not installed; the program
// then still runs, with Qt's standard texts in English.
bool PrepareJapaneseInterface(QApplication& application);

} // namespace pirela
