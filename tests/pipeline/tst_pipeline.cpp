#include "tst_pipeline.h"

#include <QTest>

QTEST_MAIN(PipelineTest)
