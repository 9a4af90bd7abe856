#pragma once
// What start-up prepares before the first window: the program's folder as working directory, the
// interface font, the Song face behind 宋体, the program icon and Chinese texts in Qt's own dialogs.
class QApplication;

void enterProgramFolder();
void prepareApplication(QApplication &app);
