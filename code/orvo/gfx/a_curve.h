// A trajectory flattened into a table of samples (each within half a pixel
// of the true path) and a mover that travels along them by a distance per
// call, reporting position, heading, arrival and a stop point. Owners draw the
// path with the public aGDI. Main thread.
#pragma once

#include <cstdint>
#include <vector>

#include "orvo/gfx/a_gdi.h"
#include "orvo/gfx/a_trajectory.h"

class aCurve : public aTrajectory {
public:
    enum Status : int32_t { MOVING = 0, ARRIVED = 1, NOT_MOVING = 2, STOP_REACHED = 3 };

    struct Sample {
        float x = 0.0f;
        float y = 0.0f;
    };

    aCurve() = default;
    ~aCurve() override = default;

    void addPoint(float x, float y);
    void clearPoints();
    // Stops the mover and flattens the control points again.
    void rebuild();

    // Puts the mover on the first sample. A table of fewer than two samples
    // has nowhere to go: the mover stays stopped.
    void start();
    // distance: speed x elapsed seconds. Returns a Status.
    int32_t update(float distance);
    // heading may be null.
    void getPosition(float& x, float& y, float* heading) const;

    // Reported once (STOP_REACHED) when the mover reaches `distance` into
    // sample segment `segment` or jumps past it. start() clears it.
    void setStopPoint(int32_t segment, float distance);
    void clearStopPoint() { m_stopSegment = -1; }

    bool isMoving() const { return m_moving; }
    int32_t getSegmentIndex() const { return m_segment; }
    const std::vector<Sample>& getSamples() const { return m_samples; }

    aGDI gdi;

private:
    template <class Fn> void flatten(const Fn& curve, float t0, float t1, Sample p, Sample q, int depth);
    // Flattens [0, 1] in `pieces` equal pieces from `start` on.
    template <class Fn> void flattenPieces(const Fn& curve, int pieces, Sample start);
    void buildPolyline();
    void buildBezier();
    void buildCatmullRom();

    std::vector<Sample> m_samples;
    bool m_moving = false;
    float m_x = 0.0f;
    float m_y = 0.0f;
    double m_heading = 0.0;
    double m_segmentLength = 0.0;
    double m_distance = 0.0;
    int32_t m_segment = -1;
    int32_t m_stopSegment = -1;
    float m_stopDistance = 0.0f;
};
