#pragma once
// The save-destination window. It holds the output directory for the whole run (the directory its
// directory list has opened), lets the user choose a volume and a directory and create a new one,
// and runs both output commands: the list file (MakeList, the window stays hidden) and the Internet
// shortcuts (its "作成" button).
//
// Use by the main window:
//   - start-up: frmSave::Load(this) once (the window is created hidden and placed at the main
//     window's top-left), then StartIn(stored output directory, program directory);
//   - the list command: frmSave::Loaded()->MakeList();
//   - the shortcut command: disable the main window, then frmSave::Loaded()->show(); the window's
//     own buttons enable the main window again;
//   - exit: Path() is the directory to store.
// The window is destroyed together with the main window it was loaded for. Both commands run in
// core (core/OutputCommands.h); this window only asks and shows, as their OutputHost.

#include "core/OutputCommands.h"
#include "forms/LoadedForm.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace orvane {

// The one save-destination window of the run: Load() creates it hidden (Form_Load runs then).
class frmSave final : public QWidget, public LoadedForm<frmSave>, private OutputHost {
    Q_OBJECT
public:
    QWidget* MainWindow() const { return mainWindow_; }

    /// Selects a volume in the drive list and runs drvFileSave_Change for it, even when it was
    /// selected already. `drive` is a volume root; any other path selects the volume that holds it.
    void SetDrive(const QString& drive);
    /// The volume root the drive list shows.
    QString Drive() const;

    /// Start-up: selects the volume of `dir` and opens `dir`, like SetDrive then SetPath, but
    /// without a word: when `dir` or its volume cannot be used, `fallback` is opened instead, and
    /// failing that the root of the file system.
    void StartIn(const QString& dir, const QString& fallback);

    /// Opens `dir` in the directory list: it becomes the output directory. False, and nothing
    /// changes, when `dir` is not an existing directory.
    bool SetPath(const QString& dir);
    /// The opened directory, which is the output directory (no trailing separator except at "/").
    QString Path() const { return path_; }

    /// Writes the link list as a list file after asking for its path (the list command).
    void MakeList();
    /// Asks for an output file of `kind` in the save dialog, starting in `initialDir` with
    /// `suggestedPath` (a shortcut's path is asked for after a notice that its file exists).
    /// Returns true when the user cancelled; otherwise the path is in ChosenFileName().
    bool AskOutputFileName(const QString& initialDir, const QString& suggestedPath, OutputKind kind);
    QString ChosenFileName() const { return chosenFileName_; }

    void drvFileSave_Change();
    void txtNewDir_Change();
    void comMkDir_Click();
    void CancelButton_Click();
    void OKButton_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

public:
    void setVisible(bool visible) override;

private:
    friend class LoadedForm<frmSave>;
    explicit frmSave(QWidget* mainWindow);
    void Form_Load();
    void FillDriveList();
    int DriveIndex(const QString& root);
    void ReadDirectoryList();
    void dirFileSave_Open(QListWidgetItem* item);
    QWidget* MessageParent();

    // OutputHost: the questions and messages of the two commands.
    void ShowMessage(const MessageText& message) override;
    std::u16string AskFileName(std::u16string_view name, std::u16string_view converted) override;
    std::optional<std::u16string> AskOutputFileName(OutputKind kind, std::u16string_view initialDir,
                                                    std::u16string_view suggestedPath) override;

    QPointer<QWidget> mainWindow_;
    QComboBox* drvFileSave_;
    QListWidget* dirFileSave_;
    QLineEdit* txtNewDir_;
    QPushButton* comMkDir_;
    QPushButton* CancelButton_;
    QPushButton* OKButton_;
    QLabel* lblDirInfo_;
    QLabel* Label1_;

    QString cOldDrive;
    QString path_;
    // The directory last opened on each volume: choosing a volume again returns there.
    QHash<QString, QString> driveDirectory_;
    QString chosenFileName_;
};

} // namespace orvane
