#include "ui/FitFields.h"

#include "sheets/SheetTexts.h"
#include "ui/ChamberFields.h"
#include "ui/ProblemMessage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <tuple>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

// Room for "-1234,56" and the field's frame.
constexpr int kFieldCharacters = 8;
constexpr int kFieldFrameWidth = 12;
constexpr double kSteepestRise = 90;

struct PointField {
    QStringView caption;
    QStringView name;
    QStringView example;
};

constexpr std::array kPointFields{
    PointField{u"X (mm)", u"Uscita voluta X (mm)", u"850"},
    PointField{u"Y (mm)", u"Uscita voluta Y (mm)", u"-120"},
    PointField{u"Z (mm)", u"Uscita voluta Z (mm)", u"-60"},
};

// By default the header and the three cones may bend: the cylinders of the belly and the tailpipe
// are where a tuner wants them straight.
constexpr std::array kFreeByDefault{true, true, true, false, true, false};

}  // namespace

FitFields::FitFields(QWidget* parent)
    : QGroupBox(tr("Adatta alla moto"), parent)
    , m_plan(new QLineEdit(this))
    , m_rise(new QLineEdit(this))
    , m_find(new QPushButton(tr("Trova le curve"), this))
{
    auto* grid = new QGridLayout(this);
    const auto addField = [&](QLineEdit* field, const QString& caption, const QString& name, int row, int column) {
        field->setAccessibleName(name);
        field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QString(kFieldCharacters, u'0')) + kFieldFrameWidth);
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1);
        connect(field, &QLineEdit::textChanged, this, &FitFields::edited);
    };
    for (std::size_t i = 0; i < kPointFields.size(); ++i) {
        m_point[i] = new QLineEdit(this);
        m_point[i]->setToolTip(tr("Dove va il centro dell'uscita, in mm dal centro della faccia d'ingresso del collettore: "
                                  "X lungo il suo asse, Z verso l'alto della vista laterale, Y lontano da chi la guarda, "
                                  "come nella tabella della scheda dati"));
        addField(m_point[i], kPointFields[i].caption.toString(), kPointFields[i].name.toString(), 0, 2 * static_cast<int>(i));
    }
    m_plan->setToolTip(tr("Verso dove punta l'uscita, in pianta, da X verso Y, come nella scheda dati; vuoto: libera"));
    m_rise->setToolTip(tr("L'inclinazione dell'uscita sopra il piano XY, da -90 a 90, come nella scheda dati; vuoto: libera"));
    addField(m_plan, tr("In pianta (gradi)"), tr("Direzione voluta in pianta (gradi)"), 1, 0);
    addField(m_rise, tr("Inclinazione (gradi)"), tr("Direzione voluta, inclinazione (gradi)"), 1, 2);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(new QLabel(tr("Curvabili:"), this));
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        m_free[i] = new QCheckBox(fromView(kChamberSections[i].length), this);
        m_free[i]->setChecked(kFreeByDefault[i]);
        m_free[i]->setAccessibleName(tr("Curvabile %1").arg(sectionName(i)));
        m_free[i]->setToolTip(tr("La ricerca può curvare questo tratto; se no, resta come scritto sopra"));
        boxes->addWidget(m_free[i]);
        connect(m_free[i], &QCheckBox::toggled, this, &FitFields::edited);
    }
    boxes->addStretch();
    grid->addLayout(boxes, 2, 0, 1, 2 * static_cast<int>(kPointFields.size()));
    m_find->setToolTip(tr("Scrive la curva e il piano dei tratti curvabili che portano l'uscita nel punto voluto, "
                          "curvando il meno possibile"));
    grid->addWidget(m_find, 3, 0, 1, 2 * static_cast<int>(kPointFields.size()), Qt::AlignLeft);
    connect(m_find, &QPushButton::clicked, this, &FitFields::findAsked);
    // Tab as the fields read, left to right and down.
    QWidget* previous = m_point.back();
    for (QWidget* next : std::initializer_list<QWidget*>{m_plan, m_rise}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (QCheckBox* box : m_free) {
        setTabOrder(previous, box);
        previous = box;
    }
    setTabOrder(previous, m_find);
}

std::optional<Vector3> FitFields::wantedPoint() const
{
    std::array<double, kPointFields.size()> values{};
    for (std::size_t i = 0; i < m_point.size(); ++i) {
        const std::optional<double> value = readDialogFigure(m_point[i]->text());
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    return Vector3{values[0], values[1], values[2]};
}

std::variant<FitRequest, FieldProblem> FitFields::read() const
{
    FitRequest request;
    std::array<double, kPointFields.size()> values{};
    for (std::size_t i = 0; i < m_point.size(); ++i) {
        const std::optional<double> value = readDialogFigure(m_point[i]->text());
        if (!value)
            return FieldProblem{ProblemMessage::notANumber(m_point[i]->accessibleName(), kPointFields[i].example.toString()), m_point[i]};
        values[i] = *value;
    }
    request.target.point = {values[0], values[1], values[2]};
    for (auto [field, angle, example] : {std::tuple{m_plan, &FitTarget::planDegrees, u"30"_s},
                                         std::tuple{m_rise, &FitTarget::riseDegrees, u"-10"_s}}) {
        if (field->text().trimmed().isEmpty())
            continue;
        const std::optional<double> value = readDialogFigure(field->text());
        if (!value)
            return FieldProblem{ProblemMessage::notANumber(field->accessibleName(), example), field};
        request.target.*angle = *value;
    }
    if (request.target.riseDegrees && !(std::abs(*request.target.riseDegrees) <= kSteepestRise))
        return FieldProblem{tr("\"%1\" deve essere tra -%2 e %2.").arg(m_rise->accessibleName()).arg(kSteepestRise), m_rise};
    for (std::size_t i = 0; i < m_free.size(); ++i)
        request.free[i] = m_free[i]->isChecked();
    if (std::ranges::none_of(request.free, [](bool free) { return free; }))
        return FieldProblem{tr("Nessun tratto è curvabile: spuntare almeno uno tra L1 e L6 sotto \"Curvabili\"."), nullptr};
    return request;
}

}  // namespace scaricometro
