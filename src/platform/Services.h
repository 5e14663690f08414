#pragma once

class IScreenGrabber;
class IScreenMetrics;
class IProgramFacts;
class IMessageBox;
class IEventPump;
class IFiles;
class IClipboard;
class IPrinter;
class IFileDialogs;
class IShell;
class IProcessLauncher;
class IRegistry;

// Everything the program asks of the operating system, handed to the main window. The program
// always runs on the real services; tests put scripted ones in place of some of them.
struct Services
{
    IScreenGrabber *screen = nullptr;
    IScreenMetrics *metrics = nullptr;
    IProgramFacts *program = nullptr;
    IMessageBox *messages = nullptr;
    IEventPump *events = nullptr;
    IFiles *files = nullptr;
    IClipboard *clipboard = nullptr;
    IPrinter *printer = nullptr;
    IFileDialogs *dialogs = nullptr;
    IShell *shell = nullptr;
    IProcessLauncher *processes = nullptr;
    IRegistry *registry = nullptr;
};
