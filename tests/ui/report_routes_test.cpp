// The PDF report prints the escape routes as a calculation sheet, then the verdict.
#include "report_pdf_fixture.h"

namespace {

TEST_F(ReportPdf, PrintsTheRoutesCalculationSheetBeforeTheVerdict) {
    ASSERT_TRUE(zm.Run());
    zf::flow::Route route;
    route.Name = "Зал";
    route.People = 100;
    route.Projection = zf::flow::kAdultWinter;
    route.StartDelay = 30;
    using zf::flow::SegmentKind;
    route.Segments = {{SegmentKind::Horizontal, 20, 2.5, 1}, {SegmentKind::Doorway, 0, 1.0, 1}, {SegmentKind::Horizontal, 15, 2}};
    description.Evacuation.Routes = {route};
    const QString text = Flat(PdfText(Write()));
    for (const char* piece : {"Время эвакуации по путям эвакуации", "Путь 1 «Зал»: N = 100 чел., f = 0,125 м², tнэ = 30,0 с",
                              "tр = Σ(l/V + Δt) = 0,3738 + 1,6169 + 0,1500 = 2,1407 мин (128,4 с)", "tск = 2,0000 мин",
                              "помещение №2: tнэ + t выхода = 30,0 + 119,4 = 149,4 с", "Путь 1: tр = 2,141 мин (128,4 с)"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(piece))) << piece;
    EXPECT_LT(text.indexOf(QStringLiteral("Время эвакуации по путям эвакуации")), text.indexOf(QStringLiteral("Вывод по эвакуации")));
}

}  // namespace
