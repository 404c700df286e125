#pragma once
// The numbered states of a page transfer and the status line shown for each of them.

#include <optional>
#include <string_view>

namespace orvane {

/// States in the order a transfer reaches them; Error may follow any of them and ends the transfer.
enum TransferState : int {
    kStateNone = 0,
    kStateResolvingHost = 1,
    kStateHostResolved = 2,
    kStateConnecting = 3,
    kStateConnected = 4,
    kStateRequesting = 5,
    kStateRequestSent = 6,
    kStateReceivingResponse = 7,
    kStateResponseReceived = 8,
    kStateDisconnecting = 9,
    kStateDisconnected = 10,
    kStateError = 11,
    kStateResponseCompleted = 12,
};

/// The status text of `state`: nullopt for 0 (the status line stays as it is), an empty text for
/// a number outside the table.
std::optional<std::u16string_view> TransferStatusText(int state);

/// True for the communication-error state, which cancels the fetch.
bool IsErrorState(int state);

} // namespace orvane
