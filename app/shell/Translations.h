// Qt's own texts in Japanese: the buttons of the question boxes (はい/いいえ), the file dialog
// and the colour picker, from Qt's translation catalogue "qtbase_ja".
#pragma once

class QCoreApplication;

namespace mirolanda::app {

// Installs the Japanese catalogue on the application, once; false when it is not installed
// on this machine (the program then runs with Qt's English texts).
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace mirolanda::app
