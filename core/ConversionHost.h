#pragma once
// What the link extraction asks of the windows. The main window implements it with the real
// progress window and list view; tests implement it with a recording fake.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/MessageIcon.h"

namespace orvane {

class ConversionHost {
public:
    virtual ~ConversionHost() = default;

    /// The caption of the target label (the path or URL being converted), untrimmed.
    virtual std::u16string TargetText() const = 0;

    virtual void SetBusyPointer(bool busy) = 0;
    /// A modal message box with an OK button; returns when the user has closed it.
    virtual void ShowMessage(std::u16string_view text, std::u16string_view title, MessageIcon icon) = 0;
    virtual void SetMainWindowEnabled(bool enabled) = 0;

    // The progress window.
    virtual void ShowProgress(bool visible) = 0;
    virtual void SetPhaseText(std::u16string_view text) = 0;
    virtual void SetStatusText(std::u16string_view text) = 0;
    virtual void SetStatusVisible(bool visible) = 0;
    virtual void RepaintProgress() = 0;

    /// Processes the pending window events once and returns (the cancel button acts here).
    virtual void PumpEvents() = 0;

    /// Appends one record to the link table; returns its position.
    virtual int AddLinkRecord(std::u16string url, std::u16string name, std::int16_t seq) = 0;
    /// Shows the last `count` records of the table in the list view and rewrites the count label.
    virtual void ShowNewLinks(int count) = 0;
};

} // namespace orvane
