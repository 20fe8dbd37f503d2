#pragma once

class RepeatedMessages;
class Talvo;
struct AnalysisOptions;
struct AnalysisResult;

// The commands of the data menu that read the whole catalogue or the result list: the analysis,
// which checks every record and rebuilds the lists of categories and supports, and the refine,
// which narrows the result list to the rows whose chosen field holds a text.
namespace commands {

void m_bilan(Talvo &window);
// What the analysis shows while it runs: its progress in the caption, its broken lines in boxes.
AnalysisOptions analysisOptions(Talvo &window, RepeatedMessages &boxes);
// What the analysis found: its summary, the report in the editor when the user asks; false when
// it failed (said).
bool showAnalysis(Talvo &window, const AnalysisResult &result);
void m_affiner(Talvo &window);

} // namespace commands
