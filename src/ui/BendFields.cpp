#include "ui/BendFields.h"

#include "sheets/SheetTexts.h"
#include "ui/ChamberFields.h"
#include "ui/ProblemMessage.h"
#include "views/QtText.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <cmath>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// Room for "-179,99" and the field's frame.
constexpr int kDegreesFieldCharacters = 8;
constexpr int kFieldFrameWidth = 12;

// A bend of half a turn or more is no bend a chamber can take.
constexpr int kMostBendDegrees = 180;

}  // namespace

BendFields::BendFields(QWidget* parent)
    : QGroupBox(tr("Curve"), parent)
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Gradi"), this), 0, 1);
    grid->addWidget(new QLabel(tr("Pezzi"), this), 0, 2);
    grid->addWidget(new QLabel(tr("Piano (gradi)"), this), 0, 3);
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        const ChamberSection& section = kChamberSections[i];
        const QString label = fromView(section.length);
        Row& row = m_rows[i];
        row.degrees = new QLineEdit(u"0"_s, this);
        row.degrees->setAccessibleName(tr("Curva %1 (gradi)").arg(label));
        row.degrees->setToolTip(tr("0: diritto; positivo: verso il piano scelto (0: l'alto della vista laterale), "
                                   "negativo: dalla parte opposta"));
        row.pieces = new QSpinBox(this);
        row.pieces->setRange(kFewestBendPieces, kMostBendPieces);
        row.pieces->setValue(SectionBend{}.pieces);
        row.pieces->setAccessibleName(tr("Pezzi %1").arg(label));
        row.pieces->setToolTip(tr("In quanti pezzi tagliare il tratto curvato; non conta a 0°"));
        row.plane = new QLineEdit(u"0"_s, this);
        row.plane->setAccessibleName(tr("Piano %1 (gradi)").arg(label));
        row.plane->setToolTip(tr("Verso dove curva il tratto, in senso orario guardando dal lato motore lungo il tubo: "
                                 "0 in alto, 90 verso chi guarda la vista laterale, 180 in basso, 270 lontano. "
                                 "Non conta per un tratto diritto (curva 0)."));
        for (QLineEdit* field : {row.degrees, row.plane})
            field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QString(kDegreesFieldCharacters, u'0')) + kFieldFrameWidth);
        auto* caption = new QLabel(sectionName(i), this);
        caption->setBuddy(row.degrees);
        const auto line = static_cast<int>(i) + 1;
        grid->addWidget(caption, line, 0);
        grid->addWidget(row.degrees, line, 1);
        grid->addWidget(row.pieces, line, 2);
        grid->addWidget(row.plane, line, 3);
        connect(row.degrees, &QLineEdit::textChanged, this, [this, &row] {
            showPlaneInUse(row);
            Q_EMIT edited();
        });
        connect(row.pieces, &QSpinBox::valueChanged, this, &BendFields::edited);
        connect(row.plane, &QLineEdit::textChanged, this, &BendFields::edited);
        showPlaneInUse(row);
    }
}

void BendFields::showPlaneInUse(const Row& row) const
{
    row.plane->setEnabled(readDialogFigure(row.degrees->text()) != 0.0);
}

std::variant<SectionBend, FieldProblem> BendFields::readRow(std::size_t section) const
{
    const Row& row = m_rows[section];
    const std::optional<double> degrees = readDialogFigure(row.degrees->text());
    if (!degrees)
        return FieldProblem{ProblemMessage::notANumber(row.degrees->accessibleName(), u"30"_s), row.degrees};
    if (!(std::abs(*degrees) < kMostBendDegrees)) {
        return FieldProblem{tr("\"%1\" deve essere tra -%2 e %2, esclusi.").arg(row.degrees->accessibleName()).arg(kMostBendDegrees),
                            row.degrees};
    }
    const std::optional<double> plane = readDialogFigure(row.plane->text());
    if (!plane)
        return FieldProblem{ProblemMessage::notANumber(row.plane->accessibleName(), u"90"_s), row.plane};
    return SectionBend{*degrees, row.pieces->value(), withinTurn(*plane)};
}

BendFields::Snapshot BendFields::snapshot() const
{
    Snapshot typed;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        typed[i] = {m_rows[i].degrees->text(), m_rows[i].pieces->value(), m_rows[i].plane->text()};
    return typed;
}

void BendFields::restore(const Snapshot& snapshot)
{
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i].degrees->setText(snapshot[i].degrees);
        m_rows[i].pieces->setValue(snapshot[i].pieces);
        m_rows[i].plane->setText(snapshot[i].plane);
    }
}

void BendFields::write(std::size_t section, const SectionBend& bend, int decimalPlaces)
{
    const Row& row = m_rows[section];
    row.degrees->setText(decimals(bend.degrees, decimalPlaces));
    row.pieces->setValue(bend.pieces);
    row.plane->setText(decimals(bend.plane, decimalPlaces));
}

ChamberBends BendFields::read(std::vector<FieldProblem>& problems) const
{
    ChamberBends bends{};
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        std::variant<SectionBend, FieldProblem> bend = readRow(i);
        if (auto* problem = std::get_if<FieldProblem>(&bend))
            problems.push_back(*problem);
        else
            bends[i] = std::get<SectionBend>(bend);
    }
    return bends;
}

}  // namespace scaricometro
