// The construction dialog's fit to the bike: the outlet told under the preview, the search for the
// bends run off the dialog's thread, its bends written into the fields (one Ctrl+Z puts back what
// they held), or why no bends reach the point, the nearest outlet found drawn with the point.
#include "ui/ChamberConstructionDialog.h"

#include "ui/ChamberPreview.h"
#include "views/QtText.h"

#include <QLabel>
#include <QPushButton>
#include <QThread>

#include <memory>

namespace scaricometro {
namespace {

using namespace Qt::StringLiterals;

QString degrees(double value)
{
    return twoDecimals(value) + u'°';
}

// "L1, L2, L3 e L5"
QString sectionList(const FreeSections& free)
{
    QStringList names;
    for (std::size_t i = 0; i < free.size(); ++i) {
        if (free[i])
            names.append(fromView(kChamberSections[i].length));
    }
    const QString last = names.takeLast();
    return names.isEmpty() ? last : ChamberConstructionDialog::tr("%1 e %2").arg(names.join(u", "_s), last);
}

// "a 30,00° in pianta e con un'inclinazione di -10,00°"
QString directionWords(std::optional<double> plan, std::optional<double> rise)
{
    QStringList parts;
    if (plan)
        parts.append(ChamberConstructionDialog::tr("a %1 in pianta").arg(degrees(*plan)));
    if (rise)
        parts.append(ChamberConstructionDialog::tr("con un'inclinazione di %1").arg(degrees(*rise)));
    return parts.join(ChamberConstructionDialog::tr(" e "));
}

}  // namespace

ChamberConstructionDialog::~ChamberConstructionDialog()
{
    if (m_search) {
        m_search->wait();
        delete m_search;
    }
}

void ChamberConstructionDialog::showOutlet(const ChamberRoute& route)
{
    const RouteFrame& outlet = route.outlet();
    const Heading heading = headingOf(outlet.along);
    m_outletLine->setText(tr("Uscita: X %1, Y %2, Z %3 mm; in pianta %4, inclinazione %5")
                              .arg(twoDecimals(outlet.point.x), twoDecimals(outlet.point.y), twoDecimals(outlet.point.z),
                                   degrees(heading.planDegrees), degrees(heading.riseDegrees)));
}

void ChamberConstructionDialog::findBends()
{
    if (m_search)
        return;
    const std::optional<TemplateOptions> options = readOptions();
    if (!options)
        return;
    const std::variant<FitRequest, FieldProblem> read = m_fit->read();
    if (const auto* problem = std::get_if<FieldProblem>(&read)) {
        m_problem.show(this, problem->message, problem->field);
        return;
    }
    const FitRequest& request = std::get<FitRequest>(read);
    DevelopmentOutcome developed = developChamber(m_figures.chamber.dimensions(), options->thickness);
    if (const auto* failure = std::get_if<DevelopmentFailure>(&developed)) {
        refuse(*failure, *options);
        return;
    }
    const auto development = std::get<ChamberDevelopment>(developed);
    // The sections kept as typed must be such as can be made.
    const ChamberRoute typed = ChamberRoute::trace(development, options->bends);
    for (std::size_t i = 0; i < typed.sections().size(); ++i) {
        if (const auto& refusal = typed.sections()[i].refusal; refusal && !request.free[i]) {
            refuseBend({i, *refusal}, *options);
            return;
        }
    }
    auto outcome = std::make_shared<FitOutcome>();
    const ChamberBends bends = options->bends;
    m_search = QThread::create([outcome, development, bends, request] {
        *outcome = fitChamber(development, bends, request.free, request.target);
    });
    m_fit->findButton()->setEnabled(false);
    const int edits = m_edits;
    connect(m_search, &QThread::finished, this, [this, outcome, request, development, edits] {
        m_search->deleteLater();
        m_search = nullptr;
        m_fit->findButton()->setEnabled(true);
        showFit(*outcome, request, development, edits);
        Q_EMIT searchFinished();
    });
    m_search->start();
}

void ChamberConstructionDialog::showFit(const FitOutcome& outcome, const FitRequest& request,
                                        const ChamberDevelopment& development, int edits)
{
    // Entries changed while it searched: its bends answer another question.
    if (edits != m_edits)
        return;
    if (const auto* failure = std::get_if<FitFailure>(&outcome)) {
        const ChamberRoute nearest = ChamberRoute::trace(development, failure->nearest);
        m_preview->showRoute(nearest, failure->nearest, request.target.point);
        showOutlet(nearest);
        m_previewNote->setText(whyNotFound(*failure, request, nearest));
        m_previewNote->show();
        return;
    }
    const FitSolution& found = std::get<FitSolution>(outcome);
    const BendFields::Snapshot before = m_bends->snapshot();
    QStringList raised;
    m_writingFit = true;
    for (std::size_t i = 0; i < kChamberSections.size(); ++i) {
        if (!request.free[i])
            continue;
        m_bends->write(i, found.bends[i], kFitDecimals);
        if (found.piecesRaised[i]) {
            raised.append(tr("%1 in %2 pezzi: in %3 non regge una curva di %4")
                              .arg(fromView(kChamberSections[i].length), QString::number(found.bends[i].pieces),
                                   QString::number(before[i].pieces), degrees(found.bends[i].degrees)));
        }
    }
    m_writingFit = false;
    m_beforeFit = before;
    m_lastUndoable = Undoable::Fit;
    m_fitNote->setText(raised.isEmpty() ? tr("Curve trovate e scritte (Ctrl+Z le toglie).")
                                        : tr("Curve trovate e scritte (Ctrl+Z le toglie). Pezzi aumentati: %1.")
                                              .arg(raised.join(u"; "_s)));
    m_fitNote->show();
}

void ChamberConstructionDialog::undoFit()
{
    if (!m_beforeFit)
        return;
    m_writingFit = true;
    m_bends->restore(*m_beforeFit);
    m_writingFit = false;
    m_beforeFit.reset();
    m_fitNote->hide();
}

QString ChamberConstructionDialog::whyNotFound(const FitFailure& failure, const FitRequest& request,
                                               const ChamberRoute& nearest) const
{
    const QString free = sectionList(request.free);
    switch (failure.reason) {
    case FitFailure::Reason::TooFar:
        return tr("Il punto voluto è a %1 mm dall'ingresso, più lontano di quanto arrivi la camera: curvando %2 "
                  "l'uscita arriva al più a %3 mm. Scegliere un punto più vicino all'ingresso, o lasciar curvare "
                  "altri tratti.")
            .arg(twoDecimals(failure.distanceMm), free, twoDecimals(failure.reachMm));
    case FitFailure::Reason::TooNear:
        return tr("Il punto voluto è a %1 mm dall'ingresso: curvando %2 la camera non si piega tanto da portarci "
                  "l'uscita, che al più vicino ne resta a %3 mm. Lasciar curvare altri tratti, o scegliere un punto "
                  "più lontano dall'ingresso.")
            .arg(twoDecimals(failure.distanceMm), free, twoDecimals(failure.missMm));
    case FitFailure::Reason::Direction: {
        const Heading heading = headingOf(nearest.outlet().along);
        return tr("L'uscita può arrivare nel punto voluto, ma curvando %1 non può puntare %2: la più vicina trovata punta "
                  "a %3 in pianta con un'inclinazione di %4, a %5 mm dal punto. Lasciar curvare altri tratti, "
                  "o lasciare libera la direzione.")
            .arg(free, directionWords(request.target.planDegrees, request.target.riseDegrees),
                 degrees(heading.planDegrees), degrees(heading.riseDegrees), twoDecimals(failure.missMm));
    }
    }
    return {};
}

}  // namespace scaricometro
