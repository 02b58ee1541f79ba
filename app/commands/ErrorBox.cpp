#include "app/commands/ErrorBox.h"

#include <filesystem>
#include <new>

namespace mirolanda::app {

QString ErrorText(const std::exception& error) {
    if (const auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&error)) {
        QString text = QStringLiteral("ファイル操作に失敗しました。");
        if (!fs->path1().empty()) text += QStringLiteral("\n") + QString::fromStdString(fs->path1().string());
        return text + QStringLiteral("\n(") + QString::fromStdString(fs->code().message()) + QStringLiteral(")");
    }
    if (dynamic_cast<const std::bad_alloc*>(&error)) return QStringLiteral("メモリが不足しています。");
    return QString::fromUtf8(error.what());
}

QString ErrorText(std::exception_ptr error) {
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::exception& e) {
        return ErrorText(e);
    } catch (...) {
        return QStringLiteral("予期しないエラーが発生しました。");
    }
}

void ShowError(WindowServices& services, std::exception_ptr error) {
    services.Dialog().Inform(services.Window(), MessageIcon::Critical, kAppTitle, ErrorText(std::move(error)));
}

}  // namespace mirolanda::app
