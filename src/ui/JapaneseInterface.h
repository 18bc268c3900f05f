#pragma once

class QApplication;

namespace pirela {

// Makes the whole interface Japanese whatever the system's locale: Qt's own Japanese
// translation (so standard buttons read はい, いいえ, キャンセル) and the dialog font mapped to
// an installed Japanese font. Returns false when the translation is not installed; the program
// then still runs, with Qt's standard texts in English.
bool PrepareJapaneseInterface(QApplication& application);

// Qt's file dialogs write dates and sizes in the system's locale, which Qt reads from the
// environment once, at its first use. This reads it while the environment names Japanese and
// then puts the environment back as it was, for the programs that Pirela starts. Call it
// before the application object is made.
void ReadSystemLocaleAsJapanese();

} // namespace pirela
