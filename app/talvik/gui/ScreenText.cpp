#include "gui/ScreenText.h"

#include <QFile>

#include "text/Text.h"

namespace talvik::gui {

QString ScreenText(std::string_view bytes) {
    std::string lines;
    lines.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            lines.push_back('\n');
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            lines.push_back(bytes[i]);
        }
    }
    return QString::fromStdString(Utf8From1252(lines));
}

QString BoxText(std::string_view bytes) {
    return QString::fromStdString(Utf8From1252(bytes));
}

std::string ModelText(const QString& text) {
    return Cp1252FromUtf8(text.toStdString());
}

QString PathText(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

std::string ModelPath(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

}  // namespace talvik::gui
