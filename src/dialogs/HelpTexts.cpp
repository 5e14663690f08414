#include "HelpTexts.h"

#include <QStringList>

namespace HelpTexts {

QString tips()
{
    const QStringList lines = {
        QStringLiteral("AUTO-DUMP mode is the preferred method of using Glimmerbox."),
        QStringLiteral("Just click once on the button displayed on the Windows Task Bar"),
        QStringLiteral("and a copy of the entire monitor display is sent immediately to"),
        QStringLiteral("to the printer. No fuss, quick and easy!"),
        QString(),
        QStringLiteral("When Glimmerbox is first run it assumes the Window's default printer"),
        QStringLiteral("and settings. PRINTER SETUP allows you to select a different"),
        QStringLiteral("printer device and change the driver settings for quality, color and"),
        QStringLiteral("paper size etc."),
        QString(),
        QStringLiteral("To exit AUTO-DUMP mode right mouse button click the button on the"),
        QStringLiteral("Window's Task Bar and select MAXIMIZE from the displayed pop-up menu."),
        QStringLiteral("DO NOT use the RESTORE menu item."),
        QString(),
        QStringLiteral("To reselect one of the Grabbed Screen Shots just click on the"),
        QStringLiteral("thumbnail. It will be redisplayed in the preview window. It can now"),
        QStringLiteral("be printed, copied to clipboard or saved out to a Bitmap or Jpeg"),
        QStringLiteral("format picture file."),
        QString(),
        QStringLiteral("If you need to only print part of the screen use the mouse buttons"),
        QStringLiteral("to select the area required from the Preview Window."),
        QString(),
        QStringLiteral("Everything works from the keyboard too. TAB moves between the buttons,"),
        QStringLiteral("the Preview Window and the thumbnails; SPACE or ENTER picks a thumbnail."),
        QStringLiteral("On the Preview Window the ARROW keys move the selected area (at first"),
        QStringLiteral("the entire shot), SHIFT+ARROW sizes it, CTRL moves 10 pixels at a time"),
        QStringLiteral("and ESCAPE selects the entire shot again. ALT+F, ALT+G and ALT+H open"),
        QStringLiteral("the menus."),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString aboutDescription()
{
    return QStringLiteral(
        "The main purpose of Glimmerbox is to provide a quick and easy way to printout exactly "
        "what you see on the monitor screen.  This is achieved by running Glimmerbox in "
        "AUTO-DUMP mode.  Just one click on the task button and a copy of the entire screen is "
        "immediately sent to the printer. Glimmerbox can also be used to capture multiple screen "
        "shots. These screen shots can then be selected, viewed, saved to file, copied to "
        "clipboard and of course printed.");
}

QString disclaimer()
{
    return QStringLiteral("Copyright (c) 2026 Moonferry Software. All rights reserved.\r\n"
                          "Glimmerbox comes without warranty of any kind.\r\n"
                          "Visit: ") +
           WebAddress;
}

} // namespace HelpTexts

QString HelpTexts::autoDumpExplanation()
{
    return QStringLiteral(
        "Simply click the button displayed on the Task Bar to print\r\n"
        "the entire screen.\r\n"
        "\r\n"
        "To switch back to the normal program, click on the task bar button\r\n"
        "with the Right-Mouse-Button and select MAXIMISE from the pop-up menu.\r\n");
}
