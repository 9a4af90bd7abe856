#pragma once
// The file dialog control: no place on screen, only its settings and the operation Show.
#include "forms/windows.h"

#include <QObject>

class FileDialogControl : public QObject {
    Q_OBJECT
public:
    explicit FileDialogControl(QObject *parent) : QObject(parent) {}

    FileDialogSettings &settings() { return m_settings; }
    const FileDialogSettings &settings() const { return m_settings; }

    // Shows the open-file (mode 0) or save-file (mode 1) dialog and waits for the user. A confirmed
    // name goes into file_name and gives true; a cancel gives false and leaves file_name alone.
    bool show();

private:
    FileDialogSettings m_settings;
};
