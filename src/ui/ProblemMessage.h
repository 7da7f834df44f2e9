// Telling the user what to mend: one window-modal message at a time, with the focus back in the
// field to mend and its text selected; and telling what was done.
#pragma once

#include <QPointer>
#include <QString>

class QLineEdit;
class QMessageBox;
class QWidget;

namespace scaricometro {

class ProblemMessage {
public:
    // A new problem replaces the message still shown.
    void show(QWidget* parent, const QString& message, QLineEdit* fieldToMend = nullptr);

    // The message for a field whose text is no number: `example` shows a number it would take.
    [[nodiscard]] static QString notANumber(const QString& caption, const QString& example);

private:
    QPointer<QMessageBox> m_open;
};

// A window-modal message that something went as asked, and where to find what it made.
void showNotice(QWidget* parent, const QString& message);

}  // namespace scaricometro
