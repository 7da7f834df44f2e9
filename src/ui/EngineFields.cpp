#include "ui/EngineFields.h"

#include "model/NumberText.h"
#include "ui/ChamberFields.h"
#include "ui/ProblemMessage.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// Room for "1,01325" and the field's frame.
constexpr int kFieldCharacters = 8;
constexpr int kFieldFrameWidth = 12;

enum Column { kCaptionColumn, kFieldColumn, kUnitColumn };

}  // namespace

EngineFields::EngineFields(QWidget* parent)
    : QGroupBox(tr("Motore"), parent)
{
    const waves::EngineFigures defaults;
    auto* grid = new QGridLayout(this);
    for (std::size_t i = 0; i < kEngineFields.size(); ++i) {
        const EngineField& row = kEngineFields[i];
        auto* field = new QLineEdit(QString::fromStdString(formatDecimalComma(defaults.*row.value)), this);
        field->setAccessibleName(row.name.toString());
        field->setToolTip(row.tip.toString());
        field->setAlignment(Qt::AlignRight);
        field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QString(kFieldCharacters, u'0')) + kFieldFrameWidth);
        auto* caption = new QLabel(row.caption.toString(), this);
        caption->setBuddy(field);
        const auto line = static_cast<int>(i);
        grid->addWidget(caption, line, kCaptionColumn);
        grid->addWidget(field, line, kFieldColumn);
        grid->addWidget(new QLabel(row.unit.toString(), this), line, kUnitColumn);
        connect(field, &QLineEdit::textChanged, this, &EngineFields::edited);
        field->installEventFilter(this);
        if (i > 0)
            setTabOrder(m_fields[i - 1], field);
        m_fields[i] = field;
    }
}

bool EngineFields::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Q_EMIT entered();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

QLineEdit* EngineFields::field(double waves::EngineFigures::*value) const
{
    for (std::size_t i = 0; i < kEngineFields.size(); ++i) {
        if (kEngineFields[i].value == value)
            return m_fields[i];
    }
    return nullptr;
}

waves::EngineFigures EngineFields::read(std::vector<FieldProblem>& problems) const
{
    waves::EngineFigures figures;
    for (std::size_t i = 0; i < kEngineFields.size(); ++i) {
        const EngineField& row = kEngineFields[i];
        if (const std::optional<double> value = readDialogFigure(m_fields[i]->text()))
            figures.*row.value = *value;
        else
            problems.push_back({ProblemMessage::notANumber(row.caption.toString(), row.example.toString()), m_fields[i]});
    }
    return figures;
}

}  // namespace scaricometro
