#pragma once

#include <QObject>

class PipelineTest : public QObject
{
    Q_OBJECT

private slots:
    // extractiontests.cpp
    void extractWords_data();
    void extractWords();
    void extractionAgreesWithBacktrackingEngine();
    void extractionKeepsUnpairedSurrogates();
    void extractionOfLargePages();

    // filtertests.cpp
    void filterSearchTerm_data();
    void filterSearchTerm();
    void filterDouble_data();
    void filterDouble();
    void filterBlacklist_data();
    void filterBlacklist();
    void workedExampleStepByStep();
    void capCountsEmptyEntries();
    void nothingSwitchedOnStillMergesAnEmptyBox();
    void repeatedSearchShowsEachWordOnce();
    void commonListReadOncePerBlacklistPass_data();
    void commonListReadOncePerBlacklistPass();

    // resulttexttests.cpp
    void resultTextMatchesAppendedBox_data();
    void resultTextMatchesAppendedBox();
    void richTextNeedsFallback_data();
    void richTextNeedsFallback();
    void lineCount();
};
