// Rules of the story script: which script and which statement list a story
// reads, and where a scene leads. The data lives in script_data.cpp and
// script_statements.cpp.
#include "story/script.h"

#include <QLatin1StringView>

Script SelectScript(bool sfcMode, int playerSex, int yesCount)
{
    if (!sfcMode) {
        if (playerSex == -1)
            return ShortScriptNeither;
        return ShortScript;
    }
    if (playerSex == -1)
        return SfcScriptNeither;
    if (playerSex == 0)
        return yesCount == SpecialCourseYesCount ? Script(SpecialScript) : Script(SfcScriptBoy);
    return SfcScriptGirl;
}

std::span<const char *const> SelectStatements(int playerSex)
{
    if (playerSex == 0)
        return StatementsBoy;
    if (playerSex == -1)
        return StatementsNeither;
    return StatementsGirl;
}

char SceneKind(const Scene &scene)
{
    return scene.Control ? scene.Control[0] : '\0';
}

bool IsEndMarker(const Scene &scene)
{
    return SceneKind(scene) == '\0';
}

bool HasVoice(const Scene &scene)
{
    const char kind = SceneKind(scene);
    return kind == '1' || kind == '3' || kind == '5';
}

bool IsQuestion(const Scene &scene)
{
    const char kind = SceneKind(scene);
    return kind == '2' || kind == '3';
}

bool IsInstant(const Scene &scene)
{
    return SceneKind(scene) == '6';
}

int ControlTarget(const Scene &scene, int position)
{
    const char *c = scene.Control;
    return 10 * (c[position] - '0') + (c[position + 1] - '0');
}

int NextScene(const Scene &scene, int index, int answer)
{
    switch (SceneKind(scene)) {
    case '2':
    case '3':
        return ControlTarget(scene, answer == 0 ? FirstTargetPosition : SecondTargetPosition);
    case '4':
    case '5':
        return ControlTarget(scene, FirstTargetPosition);
    default:
        return index + 1;
    }
}

QString ReplaceName(QString line, const QString &name)
{
    Q_ASSERT(!name.contains(QLatin1StringView("%s")));
    for (qsizetype at = line.indexOf(QLatin1StringView("%s")); at >= 0;
         at = line.indexOf(QLatin1StringView("%s"))) {
        line.remove(at, 2);
        line.insert(at, name);
    }
    return line;
}
