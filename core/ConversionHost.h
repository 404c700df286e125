#pragma once
// What the link extraction asks of the windows. The main window implements it with the real
// progress window and list view; tests implement it with a recording fake.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "core/Globals.h"
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

/// A host without windows (orvane-cli, the benchmarks): the windows' requests do nothing and the
/// links go to `gLinks`; a message goes nowhere unless a subclass shows it.
class WindowlessConversionHost : public ConversionHost {
public:
    std::u16string target; // what the messages name the input by

    std::u16string TargetText() const override { return target; }
    void SetBusyPointer(bool) override {}
    void ShowMessage(std::u16string_view, std::u16string_view, MessageIcon) override {}
    void SetMainWindowEnabled(bool) override {}
    void ShowProgress(bool) override {}
    void SetPhaseText(std::u16string_view) override {}
    void SetStatusText(std::u16string_view) override {}
    void SetStatusVisible(bool) override {}
    void RepaintProgress() override {}
    void PumpEvents() override {}
    int AddLinkRecord(std::u16string url, std::u16string name, std::int16_t seq) override {
        return gLinks.Add(std::move(url), std::move(name), seq);
    }
    void ShowNewLinks(int) override {}
};

} // namespace orvane
