#include "ui/SectionFields.h"

#include "sheets/SheetTexts.h"
#include "ui/ChamberFields.h"
#include "ui/ProblemMessage.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// Room for "1234,5678" and the field's frame.
constexpr int kFieldCharacters = 9;
constexpr int kFieldFrameWidth = 12;
// The figures as written into the fields: enough for a tenth of a micrometre, as the fit's bends.
constexpr int kFigureDecimals = 4;
// The lengths in a row, the diameters under them with the button after them, and the line under all.
constexpr int kLengthRow = 0;
constexpr int kDiameterRow = 1;
constexpr int kSourceRow = 2;

// "L3" and, for screen readers and messages, what it measures.
QString figureName(std::size_t figure)
{
    const SectionFigure& row = kSectionFigures[figure];
    if (row.kind == FigureKind::Length)
        return SectionFields::tr("%1 (mm)").arg(sectionName(figure));
    return SectionFields::tr("%1 diametro interno (mm)").arg(fromView(row.name));
}

}  // namespace

SectionFields::SectionFields(QWidget* parent)
    : QGroupBox(tr("Sezioni (mm)"), parent)
    , m_followWindow(new QPushButton(tr("Come la finestra"), this))
    , m_source(new QLabel(this))
{
    auto* grid = new QGridLayout(this);
    std::size_t lengths = 0;
    std::size_t diameters = 0;
    for (std::size_t i = 0; i < kSectionFigures.size(); ++i) {
        const bool length = kSectionFigures[i].kind == FigureKind::Length;
        const int row = length ? kLengthRow : kDiameterRow;
        const int column = 2 * static_cast<int>(length ? lengths++ : diameters++);
        auto* field = new QLineEdit(this);
        field->setAccessibleName(figureName(i));
        field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QString(kFieldCharacters, u'0')) + kFieldFrameWidth);
        auto* caption = new QLabel(fromView(kSectionFigures[i].name), this);
        caption->setBuddy(field);
        grid->addWidget(caption, row, column);
        grid->addWidget(field, row, column + 1);
        m_fields[i] = field;
        connect(field, &QLineEdit::textChanged, this, [this, i] {
            if (!m_showing)
                Q_EMIT edited(i);
        });
        connect(field, &QLineEdit::returnPressed, this, [this, i] { Q_EMIT entered(i); });
    }
    m_followWindow->setToolTip(tr("Riporta ogni sezione ai risultati della finestra"));
    m_followWindow->setAutoDefault(false);
    grid->addWidget(m_followWindow, kDiameterRow, 2 * static_cast<int>(diameters), 1, -1, Qt::AlignRight);
    m_source->setWordWrap(true);
    m_source->setTextFormat(Qt::PlainText);
    m_source->setAccessibleName(tr("Quale camera si costruisce"));
    grid->addWidget(m_source, kSourceRow, 0, 1, -1);
    connect(m_followWindow, &QPushButton::clicked, this, &SectionFields::followWindowAsked);
}

void SectionFields::followInTabOrder(QWidget* previous) const
{
    for (QLineEdit* field : m_fields) {
        setTabOrder(previous, field);
        previous = field;
    }
    setTabOrder(previous, m_followWindow);
}

void SectionFields::show(const BuiltChamber& chamber)
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const double value = chamber.dimensions().*kSectionFigures[i].value;
        QLineEdit* field = m_fields[i];
        // What is typed stays as typed while it reads as the figure: "74,90" is not rewritten "74,9".
        if (!holds(i, value)) {
            m_showing = true;
            field->setText(decimals(value, kFigureDecimals));
            m_showing = false;
        }
        field->setToolTip(tr("Nella finestra %1 mm")
                              .arg(decimals(chamber.window().*kSectionFigures[i].value, kFigureDecimals)));
    }
    m_followWindow->setEnabled(chamber.source() != ChamberSource::Window);
    m_source->setText(builtChamberLine(chamber));
}

bool SectionFields::holds(std::size_t figure, double value) const
{
    const std::variant<double, FieldProblem> typed = read(figure);
    return std::holds_alternative<double>(typed)
        && readDialogFigure(decimals(value, kFigureDecimals)) == std::get<double>(typed);
}

std::variant<double, FieldProblem> SectionFields::read(std::size_t figure) const
{
    QLineEdit* field = m_fields[figure];
    const std::optional<double> value = readDialogFigure(field->text());
    if (!value) {
        const bool length = kSectionFigures[figure].kind == FigureKind::Length;
        return FieldProblem{ProblemMessage::notANumber(field->accessibleName(), length ? u"120,5"_s : u"48"_s), field};
    }
    return *value;
}

}  // namespace scaricometro
