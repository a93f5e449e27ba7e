// The register keeps UTF-8; the toolkit shows UTF-16.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace quillet::registerui {

inline QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string U(const QString& text) { return text.toUtf8().toStdString(); }

// Faults one to a line, for the label beside the dialog's buttons.
inline QString ProblemText(const std::vector<std::string>& problems) {
    QStringList lines;
    for (const std::string& problem : problems)
        lines << Q(problem);
    return lines.join('\n');
}

}  // namespace quillet::registerui
