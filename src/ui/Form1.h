// Scaricometro's one window: five engine figures in, "Calcola", eleven chamber dimensions out.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringView>
#include <QWidget>

class QLineEdit;
class QMessageBox;

namespace scaricometro {

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    // The text field called `name` ("Text1" ... "Text16"), or null.
    [[nodiscard]] QLineEdit* textField(QStringView name) const;

public Q_SLOTS:
    // What "Calcola" does: tidy the decimal fields, read the inputs, compute, write the results.
    // On a failure no result changes; the user is told which field to mend.
    void calculate();

private:
    void createControls();
    void setTabOrderByIndex();
    [[nodiscard]] QString captionText(QStringView labelName) const;
    void reportProblem(const QString& message, QLineEdit* fieldToMend);

    QPointer<QMessageBox> m_problemMessage;
};

}  // namespace scaricometro
