#include "ui/TuningFields.h"

#include "ui/ChamberFields.h"
#include "ui/ProblemMessage.h"
#include "views/WaveTexts.h"
#include "waves/Engine.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

constexpr QStringView kTargetName = u"Accorda a (giri/min)";

}  // namespace

TuningFields::TuningFields(QWidget* parent)
    : QGroupBox(tr("Accordatura"), parent)
    , m_target(new QLineEdit(this))
    , m_tune(new QPushButton(tr("Accorda la camera"), this))
    , m_line(new QLabel(this))
{
    m_target->setAccessibleName(kTargetName.toString());
    m_target->setToolTip(tr("Il regime a cui la camera deve lavorare, da %1 a %2 giri/min")
                             .arg(groupedWhole(waves::kLowestRpm), groupedWhole(waves::kHighestRpm)));
    m_tune->setToolTip(tr("Moltiplica L1–L5 per uno stesso fattore, tra 0,5 e 2, finché la camera è accordata al "
                          "regime scritto; il codino e i diametri restano come sono"));
    m_tune->setAutoDefault(false);
    m_line->setWordWrap(true);
    m_line->setTextFormat(Qt::PlainText);
    m_line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_line->setAccessibleName(tr("Esito dell'accordatura"));
    auto* caption = new QLabel(tr("Accorda a"), this);
    caption->setBuddy(m_target);
    auto* grid = new QGridLayout(this);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(m_target, 0, 1);
    grid->addWidget(new QLabel(tr("giri/min"), this), 0, 2);
    grid->addWidget(m_tune, 1, 0, 1, 3, Qt::AlignLeft);
    grid->addWidget(m_line, 2, 0, 1, 3);
    m_line->hide();
    connect(m_target, &QLineEdit::textEdited, this, [this] { m_typed = true; });
    connect(m_target, &QLineEdit::returnPressed, this, &TuningFields::tuneAsked);
    connect(m_tune, &QPushButton::clicked, this, &TuningFields::tuneAsked);
}

void TuningFields::setWindowRpm(double rpm)
{
    if (!m_typed)
        m_target->setText(QString::number(rpm, 'f', 0));
}

std::variant<double, FieldProblem> TuningFields::read() const
{
    // Read as the window reads its rpm: a point groups thousands.
    constexpr const InputField& rpm = rowFor(kInputFields, &ChamberInputs::maxRpm);
    const std::optional<double> target = rpm.read(m_target->text());
    if (!target)
        return FieldProblem{ProblemMessage::notANumber(kTargetName.toString(), u"12000"_s), m_target};
    if (!(*target >= waves::kLowestRpm && *target <= waves::kHighestRpm)) {
        return FieldProblem{tr("\"%1\" deve essere tra %2 e %3: fuori, le onde non si calcolano.")
                                .arg(kTargetName, groupedWhole(waves::kLowestRpm), groupedWhole(waves::kHighestRpm)),
                            m_target};
    }
    return *target;
}

void TuningFields::setSearching(bool searching)
{
    m_tune->setEnabled(!searching);
}

void TuningFields::tell(const QString& text)
{
    m_line->setText(text);
    m_line->setVisible(!text.isEmpty());
}

}  // namespace scaricometro
