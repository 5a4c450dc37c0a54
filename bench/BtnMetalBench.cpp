// Painting cost of the installation dialog's gradient button, and how its glyph images are kept.
// Run: build/bench/bench_btnmetal   (the median of the repetitions is the figure to read)

#include "ui/BtnMetal.h"
#include "ui/GlyphCache.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <memory>

namespace {

// A blue tick on silver, the 16 × 16 glyph of "Confirmar".
QImage tickGlyph()
{
    QImage glyph(16, 16, QImage::Format_ARGB32);
    glyph.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter painter(&glyph);
    painter.setPen(QPen(QColor(0x00, 0x00, 0xC0), 2));
    painter.drawLine(3, 8, 6, 11);
    painter.drawLine(6, 11, 12, 4);
    return glyph;
}

std::unique_ptr<TBtnMetal> confirmButton()
{
    auto button = std::make_unique<TBtnMetal>();
    button->resize(86, 29);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    font.setBold(true);
    button->setFont(font);
    button->setPrimeiraCor(Qt::white);
    button->setUltimaCor(QColor(0xED, 0xF4, 0xFC));
    button->setCores(25);
    button->setCorMouseOver(QColor(0x00, 0x80, 0xFF));
    button->setLarguraDaBorda(1);
    button->setFocoPontilhado(true);
    button->setSpacing(3);
    button->setText(QStringLiteral("&Confirmar"));
    button->setGlyph(tickGlyph());
    return button;
}

// The button alone, without a window background behind it.
void paint(TBtnMetal& button, QImage& surface)
{
    button.render(&surface, QPoint(), QRegion(), QWidget::RenderFlags());
}

void BM_PaintButton(benchmark::State& state)
{
    const auto button = confirmButton();
    QImage surface(button->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        paint(*button, surface);
        benchmark::DoNotOptimize(surface.constBits());
    }
}
BENCHMARK(BM_PaintButton)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

// Handing the glyph over again drops its prepared images: each paint here prepares the up image
// anew, which is what every paint of BM_PaintButton is spared.
void BM_PaintAfterHandingOverTheGlyph(benchmark::State& state)
{
    const auto button = confirmButton();
    const QImage glyph = tickGlyph();
    QImage surface(button->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        button->setGlyph(glyph);
        paint(*button, surface);
        benchmark::DoNotOptimize(surface.constBits());
    }
}
BENCHMARK(BM_PaintAfterHandingOverTheGlyph)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

// Two identical buttons painted over and over: one glyph list for their size, one slot each.
void BM_SecondButtonSharesTheGlyphList(benchmark::State& state)
{
    const auto first = confirmButton();
    const auto second = confirmButton();
    QImage surface(86, 29, QImage::Format_ARGB32_Premultiplied);
    paint(*first, surface);
    for (auto _ : state) {
        paint(*second, surface);
        paint(*first, surface);
        benchmark::DoNotOptimize(surface.constBits());
    }
    const TGlyphCache* cache = TGlyphCache::existing();
    const TGlyphList* list = cache ? cache->find(QSize(16, 16)) : nullptr;
    state.counters["glyph_lists"] = cache ? cache->listCount() : 0;
    state.counters["glyph_slots"] = list ? list->count() : 0;
    state.counters["paints"] = benchmark::Counter(2.0 * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SecondButtonSharesTheGlyphList)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
