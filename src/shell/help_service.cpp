#include "shell/help_service.h"

#include "shell/help_viewer.h"
#include "shell/hyper_jump.h"

void ViewerHelpService::displayToc(const QString& helpFile, const QString& topic)
{
    HelpViewer::displayToc(helpFile, topic);
}

void ViewerHelpService::displayIndex(const QString& helpFile) { HelpViewer::displayIndex(helpFile); }

void ViewerHelpService::hyperJump(const QString& url) { HyperJump(url); }
