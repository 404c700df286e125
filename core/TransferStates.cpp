#include "core/TransferStates.h"

namespace orvane {

std::optional<std::u16string_view> TransferStatusText(int state) {
    switch (state) {
    case kStateNone:
        return std::nullopt;
    case kStateResolvingHost:
        return u"指定されたﾎｽﾄ ｺﾝﾋﾟｭｰﾀの IP アドレスを調べています...";
    case kStateHostResolved:
        return u"指定されたﾎｽﾄ ｺﾝﾋﾟｭｰﾀの IP アドレスを見つけました。";
    case kStateConnecting:
        return u"ﾎｽﾄ ｺﾝﾋﾟｭｰﾀとの接続処理を行っています...";
    case kStateConnected:
        return u"ﾎｽﾄ ｺﾝﾋﾟｭｰﾀと正常に接続しました。";
    case kStateRequesting:
        return u"ﾎｽﾄ ｺﾝﾋﾟｭｰﾀに要求を送信しています...";
    case kStateRequestSent:
        return u"要求を正常に送信しました。";
    case kStateReceivingResponse:
        return u"ﾎｽﾄ ｺﾝﾋﾟｭｰﾀからの応答を受信しています...";
    case kStateResponseReceived:
        return u"ﾎｽﾄ ｺﾝﾋﾟｭｰﾀからの応答を正常に受信しました。";
    case kStateDisconnecting:
        return u"ﾎｽﾄ ｺﾝﾋﾟｭｰﾀとの接続を解除しています...";
    case kStateDisconnected:
        return u"ﾎｽﾄ ｺﾝﾋﾟｭｰﾀとの接続を正常に解除しました。";
    case kStateError:
        return u"ﾎｽﾄ ｺﾝﾋﾟｭｰﾀとの通信中にエラーが発生しました。";
    case kStateResponseCompleted:
        return u"要求処理が完了し、すべてのデータが受信されました。";
    default:
        return std::u16string_view();
    }
}

bool IsErrorState(int state) {
    return state == kStateError;
}

} // namespace orvane
