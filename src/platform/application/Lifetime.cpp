#include "platform/application/Lifetime.h"

#include <QCoreApplication>

#include <array>

namespace lifetime {

namespace {

constexpr std::size_t StageCount = std::size_t(Stage::Application) + 1;

// Plain data: nothing here is destroyed at exit, when Qt may be gone already.
std::array<Release, StageCount> g_releases {};
bool g_armed = false;

} // namespace

void atRelease(Stage stage, Release release)
{
    g_releases[std::size_t(stage)] = release;
    if (!g_armed) {
        g_armed = true;
        qAddPostRoutine(releaseAll);
    }
}

void releaseAll()
{
    // Disarmed first: an object made by a release (a window whose destruction shows a box) arms
    // the next run instead of being forgotten.
    if (g_armed) {
        g_armed = false;
        qRemovePostRoutine(releaseAll);
    }
    for (std::size_t stage = 0; stage < StageCount; ++stage) {
        const Release release = g_releases[stage];
        g_releases[stage] = nullptr;
        if (release)
            release();
    }
}

} // namespace lifetime
