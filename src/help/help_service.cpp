#include "help/help_service.h"

#include "help/help_viewer.h"
#include "platform/hyper_jump.h"

void ViewerHelpService::displayToc(const QString& helpFile, const QString& topic)
{
    HelpViewer::displayToc(helpFile, topic);
}

void ViewerHelpService::displayIndex(const QString& helpFile)
{
    HelpViewer::displayIndex(helpFile);
}

void ViewerHelpService::hyperJump(const QString& url)
{
    HyperJump(url);
}
