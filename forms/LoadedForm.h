#pragma once
// The one window of a kind: made on first load and kept until it is unloaded or its owner goes.
//
//     class frmX final : public QDialog, public LoadedForm<frmX> {
//         friend class LoadedForm<frmX>; // Load() makes the window through its private constructor
//         explicit frmX(QWidget* owner);
//     };

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace orvane {

template <typename Form> class LoadedForm {
public:
    /// The loaded window, made (through Form(owner)) when none is loaded. The window has no Qt
    /// parent, since a disabled parent disables its child windows too, so it goes with `owner`.
    static Form& Load(QWidget* owner) {
        QPointer<Form>& slot = Slot();
        if (!slot) {
            slot = new Form(owner);
            if (owner)
                QObject::connect(owner, &QObject::destroyed, slot.data(), [] { delete Slot().data(); });
        }
        return *slot;
    }

    /// The loaded window, or nullptr when none is. Kept out of line: callers that know the window is
    /// loaded use the result directly, and GCC would otherwise trace QPointer's empty case into each
    /// of them as a possible null dereference.
    [[gnu::noinline]] static Form* Loaded() { return Slot(); }

    /// Forgets the loaded window at once, so the next Load() makes a fresh one even before this one
    /// is gone, then hides it and deletes it from the event loop: this may run inside one of its
    /// own handlers.
    static void Unload() {
        Form* form = Slot();
        if (!form)
            return;
        Slot() = nullptr;
        form->hide();
        form->deleteLater();
    }

protected:
    LoadedForm() = default;

private:
    static QPointer<Form>& Slot() {
        static QPointer<Form> slot;
        return slot;
    }
};

} // namespace orvane
