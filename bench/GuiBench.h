#pragma once
// Shared pieces of the window benchmarks (bench/gui_*.cpp): the main window on a temporary program
// directory, message boxes caught by the hook, files for input, and a filled link table.
// gui_main.cpp defines them, together with main().

#include "forms/frmMain.h"

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>
#include <string_view>

namespace orvane::bench {

/// The temporary directory that stands in for the program directory (with a trailing separator).
QString ProgramDirectory();

/// Writes `bytes` to a file of that name in the program directory and returns its path.
QString WriteInputFile(const QString& name, std::string_view bytes);

/// Globals back to their start-up state, then a main window started and painted once.
std::unique_ptr<frmMain> StartMainWindow();

/// Processes what is pending, layout and painting included, as the event loop would next.
void Settle();

/// Appends `count` records to the link table (not to the view).
void FillLinkTable(int count);

/// Message boxes shown since the last call, as the hook caught them.
int TakeMessageCount();
/// The title of the last message box caught.
QString LastMessageTitle();

template <typename T> T* Child(const QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

} // namespace orvane::bench
