// The construction dialog's sections: the chamber as built shown in the group "Sezioni" and under
// it which chamber it is; a figure typed applied to the chamber, or, where it would make none, why
// under the preview (and in a message on Return), nothing changed.
#include "ui/ChamberConstructionDialog.h"

#include "ui/ChamberBeingBuilt.h"

#include <QLineEdit>

namespace scaricometro {

void ChamberConstructionDialog::showChamber(bool undoable)
{
    if (undoable)
        m_lastUndoable = Undoable::Sections;
    m_figures.chamber = m_built->chamber();
    m_sections->show(m_figures.chamber);
    updatePreview();
}

std::optional<FieldProblem> ChamberConstructionDialog::sectionProblem(std::size_t index, double thickness) const
{
    const std::variant<double, FieldProblem> typed = m_sections->read(index);
    if (const auto* problem = std::get_if<FieldProblem>(&typed))
        return *problem;
    QLineEdit* field = m_sections->field(index);
    ChamberDimensions dimensions = m_built->chamber().dimensions();
    // The chamber's own figure, as the window gave it or as taken before, is no problem of the field's.
    if (m_sections->holds(index, dimensions.*kSectionFigures[index].value))
        return std::nullopt;
    dimensions.*kSectionFigures[index].value = std::get<double>(typed);
    if (const std::optional<SectionsRefusal> refusal = refusalOf(dimensions); refusal && refusal->figure == index) {
        switch (refusal->reason) {
        case SectionsRefusal::Reason::NotAFigure:
            break;
        case SectionsRefusal::Reason::NegativeLength:
            return FieldProblem{tr("\"%1\" non può essere negativo: 0 lascia fuori il tratto.").arg(field->accessibleName()),
                                field};
        case SectionsRefusal::Reason::DiameterNotPositive:
            return FieldProblem{tr("\"%1\" deve essere maggiore di zero.").arg(field->accessibleName()), field};
        }
        return FieldProblem{tr("\"%1\" non è un numero che il programma sappia trattare.").arg(field->accessibleName()),
                            field};
    }
    // The pieces must still be such as can be laid flat.
    const DevelopmentOutcome developed = developChamber(dimensions, thickness);
    if (const auto* failure = std::get_if<DevelopmentFailure>(&developed);
        failure && failure->reason == DevelopmentFailure::Reason::NoSector) {
        return FieldProblem{tr("Con \"%1\" a %2 mm il cono %3 non ha uno sviluppo: i suoi diametri medi coincidono, "
                               "o i numeri escono dall'intervallo che il programma sa trattare.")
                                .arg(field->accessibleName(), figure(std::get<double>(typed)),
                                     fromView(kConeSections[failure->cone].length)),
                            field};
    }
    return std::nullopt;
}

void ChamberConstructionDialog::applySection(std::size_t figure)
{
    const bool asShown = m_sections->holds(figure, m_built->chamber().dimensions().*kSectionFigures[figure].value);
    if (!asShown && !sectionProblem(figure, m_sheet->thickness())) {
        ChamberDimensions dimensions = m_built->chamber().dimensions();
        dimensions.*kSectionFigures[figure].value = std::get<double>(m_sections->read(figure));
        // Checked as typed: the chamber as built takes it.
        static_cast<void>(m_built->setByHand(dimensions));
    }
    updatePreview();
}

}  // namespace scaricometro
