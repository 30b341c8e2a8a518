// What the windows' translations add to a start: finding the user's language
// and loading Linkfold's German translation and Qt's own (the .qm files of
// the build tree and of the system's Qt), then looking up every menu title.

#include "gui/Translations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <benchmark/benchmark.h>

namespace {

void removeTranslators() {
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

void BM_InstallGermanTranslations(benchmark::State& state) {
    for (auto _ : state) {
        const QString chosen = translations::install(*qApp, {QStringLiteral("de_DE")},
                                                     QStringLiteral(LINKFOLD_TRANSLATIONS_DIR));
        benchmark::DoNotOptimize(chosen);
        state.PauseTiming();
        removeTranslators();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InstallGermanTranslations)->Unit(benchmark::kMicrosecond);

void BM_TranslateMenuTitles(benchmark::State& state) {
    translations::install(*qApp, {QStringLiteral("de_DE")},
                          QStringLiteral(LINKFOLD_TRANSLATIONS_DIR));
    const char* const titles[] = {"&Project", "&Edit", "&Page", "&Help"};
    for (auto _ : state) {
        for (const char* title : titles)
            benchmark::DoNotOptimize(QCoreApplication::translate("MainWindow", title));
    }
    removeTranslators();
}
BENCHMARK(BM_TranslateMenuTitles);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
