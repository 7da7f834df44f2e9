#include "ui/SheetFields.h"

#include "ui/ChamberFields.h"
#include "ui/ProblemMessage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr int kMostPiecesPerCone = 2;

// A caption that names its field for screen readers, as the window's captions do.
QLabel* captionFor(QWidget* field, const QString& text, QWidget* parent)
{
    auto* caption = new QLabel(text, parent);
    caption->setBuddy(field);
    return caption;
}

}  // namespace

SheetFields::SheetFields(QWidget* parent)
    : QWidget(parent)
    , m_thickness(new QLineEdit(u"1"_s, this))
    , m_paper(new QComboBox(this))
    , m_pieces(new QComboBox(this))
{
    for (const PaperChoice& paper : kPapers)
        m_paper->addItem(paper.name.toString());
    for (int pieces = 1; pieces <= kMostPiecesPerCone; ++pieces)
        m_pieces->addItem(QString::number(pieces));
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(captionFor(m_thickness, kThicknessCaption.toString(), this), m_thickness);
    form->addRow(captionFor(m_paper, tr("Foglio:"), this), m_paper);
    form->addRow(captionFor(m_pieces, tr("Pezzi per cono:"), this), m_pieces);
    connect(m_thickness, &QLineEdit::textChanged, this, &SheetFields::edited);
    connect(m_paper, &QComboBox::currentIndexChanged, this, &SheetFields::edited);
    connect(m_pieces, &QComboBox::currentIndexChanged, this, &SheetFields::edited);
}

void SheetFields::read(TemplateOptions& options, std::vector<FieldProblem>& problems) const
{
    if (const std::optional<double> thickness = readDialogFigure(m_thickness->text()))
        options.thickness = *thickness;
    else
        problems.push_back({ProblemMessage::notANumber(kThicknessCaption.toString(), u"1,5"_s), m_thickness});
    options.paper = kPapers[static_cast<std::size_t>(m_paper->currentIndex())].size;
    options.piecesPerCone = m_pieces->currentIndex() + 1;
}

double SheetFields::thickness() const
{
    return readDialogFigure(m_thickness->text()).value_or(TemplateOptions{}.thickness);
}

QString SheetFields::paperName() const
{
    return m_paper->currentText();
}

}  // namespace scaricometro
