#pragma once

#include <QString>

// The help system and the desktop shell as the main window's commands see them; tests
// pass a recorder.
class HelpService {
public:
    virtual ~HelpService() = default;
    // HH_DISPLAY_TOC: the help file with its Contents tab current, showing topic.
    virtual void displayToc(const QString& helpFile, const QString& topic) = 0;
    // HH_DISPLAY_INDEX: the help file with its Index tab current and an empty keyword.
    virtual void displayIndex(const QString& helpFile) = 0;
    // Hands an address to the desktop's default handler.
    virtual void hyperJump(const QString& url) = 0;
};

// The program's own help viewer and the desktop's URL handler.
class ViewerHelpService : public HelpService {
public:
    void displayToc(const QString& helpFile, const QString& topic) override;
    void displayIndex(const QString& helpFile) override;
    void hyperJump(const QString& url) override;
};
