#include "SnapshotWaves.h"

#include "model/NumberText.h"
#include "sheets/SheetTexts.h"
#include "ui/EngineFields.h"
#include "ui/TuningFields.h"
#include "views/QtText.h"

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <array>

namespace {

// The factor as the dialog writes it.
constexpr int kFactorPlaces = 4;

struct EngineOption {
    QStringView key;
    double scaricometro::waves::EngineFigures::*value;
};

constexpr std::array kEngineOptions{
    EngineOption{u"bore", &scaricometro::waves::EngineFigures::boreMm},
    EngineOption{u"rod", &scaricometro::waves::EngineFigures::rodMm},
    EngineOption{u"cr", &scaricometro::waves::EngineFigures::compressionRatio},
    EngineOption{u"port", &scaricometro::waves::EngineFigures::portWidthMm},
    EngineOption{u"transfer", &scaricometro::waves::EngineFigures::transferDuration},
    EngineOption{u"release", &scaricometro::waves::EngineFigures::releasePressureBar},
};

// Runs the event loop until `signal` of `dialog`, unless `done` holds already.
template <typename Signal>
void waitFor(scaricometro::WavesDialog* dialog, Signal signal, bool done)
{
    QEventLoop loop;
    QObject::connect(dialog, signal, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec();
}

}  // namespace

std::optional<EngineTexts> engineTexts(const QString& option)
{
    EngineTexts texts;
    for (const QString& given : option.split(u',', Qt::SkipEmptyParts)) {
        const QString key = given.section(u'=', 0, 0);
        bool isNumber = false;
        const double value = given.section(u'=', 1).toDouble(&isNumber);
        const auto known = std::ranges::find_if(kEngineOptions, [&](const EngineOption& o) { return o.key == key; });
        if (!isNumber || known == kEngineOptions.end())
            return std::nullopt;
        texts.emplace_back(known->value, QString::fromStdString(scaricometro::formatDecimalComma(value)));
    }
    return texts;
}

scaricometro::WavesDialog* analysedWaves(scaricometro::Form1& window, const EngineTexts& engine, QTextStream& err)
{
    window.openWaves();
    auto* dialog = window.findChild<scaricometro::WavesDialog*>();
    const auto* fields = dialog->findChild<scaricometro::EngineFields*>();
    bool typed = false;
    for (const auto& [value, text] : engine) {
        typed = typed || fields->field(value)->text() != text;
        fields->field(value)->setText(text);
    }
    // At once, rather than after the pause an edit waits for; an analysis of these entries under
    // way or over is kept, with the band of the chamber before a tuning.
    if (typed || !dialog->setup())
        dialog->restart();
    if (const std::optional<QString> refusal = dialog->refusal()) {
        err << "no waves: " << *refusal << '\n';
        return nullptr;
    }
    waitFor(dialog, &scaricometro::WavesDialog::analysisComplete, dialog->isComplete());
    return dialog;
}

bool tuneInDialog(scaricometro::Form1& window, const EngineTexts& engine, std::optional<double> target,
                  QTextStream& out, QTextStream& err)
{
    scaricometro::WavesDialog* dialog = analysedWaves(window, engine, err);
    if (!dialog)
        return false;
    auto* tuning = dialog->findChild<scaricometro::TuningFields*>();
    if (target)
        tuning->targetField()->setText(QString::number(*target, 'f', 0));
    const std::variant<double, scaricometro::FieldProblem> read = tuning->read();
    if (const auto* problem = std::get_if<scaricometro::FieldProblem>(&read)) {
        err << "no tuning: " << problem->message << '\n';
        return false;
    }
    dialog->tune();
    waitFor(dialog, &scaricometro::WavesDialog::tuningFinished, !dialog->isTuning());
    const std::optional<scaricometro::ChamberFigures> figures = window.chamberFigures();
    const scaricometro::BuiltChamber* chamber = figures ? &figures->chamber : nullptr;
    if (!chamber || chamber->source() != scaricometro::ChamberSource::Tuned) {
        err << tuning->line()->text() << '\n';
        return false;
    }
    out << "fattore " << scaricometro::fixedDecimals(chamber->tuning()->factor, kFactorPlaces) << '\n';
    QStringList sections;
    for (std::size_t i = 0; i < scaricometro::kSectionFigures.size(); ++i)
        sections.append(scaricometro::sectionFigureText(i, chamber->dimensions()));
    out << "camera: " << sections.join(u' ') << '\n';
    waitFor(dialog, &scaricometro::WavesDialog::analysisComplete, dialog->isComplete());
    out << dialog->findChild<QLabel*>(QStringLiteral("accordSentence"))->text() << '\n';
    return true;
}
