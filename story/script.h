// Story script: the six scripts of three-line scenes, the three
// statement lists of the personality questionnaire, and the pure rules that
// choose a script and a list and find the next scene.
//
// All texts are UTF-8 string literals (convert with QString::fromUtf8), each
// representable in code page 932. "%s" in a display line stands for the
// player's name (see ReplaceName); statements never hold it.
//
// Lines that are revealed end in three half-width blanks, so that the part of
// a line that the story window's reveal can leave uncovered (up to 15 pixels)
// is empty; the few exceptions are checked by tests/test_script.cpp.
#pragma once

#include <QString>

#include <cstddef>
#include <span>

// One scene: three display lines (Mes1 to Mes3) and a control text.
//
// Control: first character the kind, then targets as two decimal digits at
// fixed positions, AA at 2-3 and BB at 5-6 (the separators at 1 and 4 are
// never examined):
//   "0" narration, "1" speech (with the voice sound), "6" instant (no reveal),
//   "2,AA,BB" question, "3,AA,BB" spoken question (AA on yes, BB on no),
//   "4,AA" jump, "5,AA" spoken jump, "" the end marker.
// Any other first character behaves as "0".
struct Scene {
    const char *Line1;
    const char *Line2;
    const char *Line3;
    const char *Control;
};

using Script = std::span<const Scene>;

// Entries of each array, the end marker included (scenes + 1).
inline constexpr std::size_t ShortScriptEntries = 11;
inline constexpr std::size_t ShortScriptNeitherEntries = 11;
inline constexpr std::size_t SfcScriptBoyEntries = 48;
inline constexpr std::size_t SfcScriptGirlEntries = 49;
inline constexpr std::size_t SfcScriptNeitherEntries = 48;
inline constexpr std::size_t SpecialScriptEntries = 40;

extern const Scene ShortScript[ShortScriptEntries];               // SfcMode off, boy or girl
extern const Scene ShortScriptNeither[ShortScriptNeitherEntries]; // SfcMode off, third choice
extern const Scene SfcScriptBoy[SfcScriptBoyEntries];             // SfcMode on, boy
extern const Scene SfcScriptGirl[SfcScriptGirlEntries];           // SfcMode on, girl
extern const Scene SfcScriptNeither[SfcScriptNeitherEntries];     // SfcMode on, third choice
extern const Scene SpecialScript[SpecialScriptEntries];           // boy with YesCount 29

// The questionnaire. Each list: entry 0 the opening question, then the
// statements, then "" (the end marker).
inline constexpr std::size_t StatementsBoyEntries = 60;     // 58 statements
inline constexpr std::size_t StatementsGirlEntries = 59;    // 57 statements
inline constexpr std::size_t StatementsNeitherEntries = 59; // 57 statements

extern const char *const StatementsBoy[StatementsBoyEntries];
extern const char *const StatementsGirl[StatementsGirlEntries];
extern const char *const StatementsNeither[StatementsNeitherEntries];

// Entry 0 of every statement list.
inline constexpr const char *QuestionnaireOpening =
    "これから、あなたの性格を検査します。よろしいですか?";
// Shown in Mes2 when the opening question is refused on a first viewing.
inline constexpr const char *QuestionnairePlea = "そんなこと言わずに、受けてくださいよぉ。";
// The yes count (opening question included) that sends a boy on the special course.
inline constexpr int SpecialCourseYesCount = 29;

// The script for the current values:
// SfcMode off: ShortScriptNeither for PlayerSex -1, else ShortScript (yesCount ignored).
// SfcMode on: -1 SfcScriptNeither; 0 SpecialScript if yesCount == 29, else
// SfcScriptBoy; 1 (and any other value) SfcScriptGirl.
Script SelectScript(bool sfcMode, int playerSex, int yesCount);

// The statement list for PlayerSex: 0 boy, -1 neither, otherwise girl.
std::span<const char *const> SelectStatements(int playerSex);

// First character of Control; '\0' for the end marker.
char SceneKind(const Scene &scene);
// Control is empty.
bool IsEndMarker(const Scene &scene);
// The "RA" voice plays during the reveal: kinds '1', '3' and '5'.
bool HasVoice(const Scene &scene);
// The yes/no dialog follows the reveal: kinds '2' and '3'.
bool IsQuestion(const Scene &scene);
// Shown at once, without reveal or voice: kind '6'.
bool IsInstant(const Scene &scene);

// Where the two-digit targets stand in Control: AA (a jump's target, a
// question's yes target) and BB (a question's no target).
inline constexpr int FirstTargetPosition = 2;
inline constexpr int SecondTargetPosition = 5;

// The target pair at a fixed position of Control (FirstTargetPosition or
// SecondTargetPosition): 10 * (c[pos] - '0') + (c[pos + 1] - '0').
int ControlTarget(const Scene &scene, int position);

// The index of the scene that follows scene `index`: questions give AA for
// answer 0 (yes) and BB for any other answer; kinds '4' and '5' give AA;
// every other kind gives index + 1. The answer is ignored unless a question.
int NextScene(const Scene &scene, int index, int answer);

// Every "%s" replaced by name; the search restarts from the start after each
// replacement, as the story window's SetPmesName does. The name must not
// hold "%s" (the name dialog refuses such names).
QString ReplaceName(QString line, const QString &name);
