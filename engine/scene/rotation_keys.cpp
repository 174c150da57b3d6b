#include "engine/scene/rotation_keys.hpp"

#include "engine/math/elementary.hpp"

#include <lib3ds/node.h>

#include <cmath>
#include <cstdint>

namespace korvid {

namespace {

// lib3ds's constants, doubles as lib3ds has them.
constexpr double epsilon = 1e-8;
constexpr double twoPi = 2.0 * 3.14159265358979323846;

using Quat = Lib3dsFloat[4];

void copy(Quat c, const Quat a) {
    for (int i = 0; i < 4; ++i)
        c[i] = a[i];
}

// The C expressions below keep lib3ds's types: products and sums of floats are floats,
// and only then widened to double where lib3ds assigns or passes them to a double.

void fromAxisAngle(Quat c, const Lib3dsVector axis, Lib3dsFloat angle) {
    const double l = std::sqrt(double(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]));
    if (l < epsilon) {
        c[0] = c[1] = c[2] = 0.0f;
        c[3] = 1.0f;
        return;
    }
    const double omega = -0.5 * angle;
    const double s = korvid::sin(omega) / l;
    c[0] = float(s) * axis[0];
    c[1] = float(s) * axis[1];
    c[2] = float(s) * axis[2];
    c[3] = float(korvid::cos(omega));
}

void multiply(Quat c, const Quat a, const Quat b) {
    c[0] = a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1];
    c[1] = a[3] * b[1] + a[1] * b[3] + a[2] * b[0] - a[0] * b[2];
    c[2] = a[3] * b[2] + a[2] * b[3] + a[0] * b[1] - a[1] * b[0];
    c[3] = a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2];
}

Lib3dsFloat dot(const Quat a, const Quat b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
}

void invert(Quat c) {
    const double l = std::sqrt(double(c[0] * c[0] + c[1] * c[1] + c[2] * c[2] + c[3] * c[3]));
    if (std::fabs(l) < epsilon) {
        c[0] = c[1] = c[2] = 0.0f;
        c[3] = 1.0f;
        return;
    }
    const double m = 1.0 / l;
    c[0] = float(-c[0] * m);
    c[1] = float(-c[1] * m);
    c[2] = float(-c[2] * m);
    c[3] = float(c[3] * m);
}

void logarithm(Quat c) {
    const double s = std::sqrt(double(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]));
    const double om = korvid::atan2(s, double(c[3]));
    const double t = std::fabs(s) < epsilon ? 0.0 : om / s;
    for (int i = 0; i < 3; ++i)
        c[i] = float(c[i] * t);
    c[3] = 0.0f;
}

// log(a^-1 b)
void logOfDifference(Quat c, const Quat a, const Quat b) {
    Quat inverse;
    copy(inverse, a);
    invert(inverse);
    multiply(c, inverse, b);
    logarithm(c);
}

void exponential(Quat c) {
    const double om = std::sqrt(double(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]));
    const double sinom = std::fabs(om) < epsilon ? 1.0 : korvid::sin(om) / om;
    for (int i = 0; i < 3; ++i)
        c[i] = float(c[i] * sinom);
    c[3] = float(korvid::cos(om));
}

// The TCB weights of a key c between p and n (pc and nc stand in for c at the ends of a
// looping track): all in float.
void tcbWeights(const Lib3dsTcb* p, const Lib3dsTcb* pc, const Lib3dsTcb* c, const Lib3dsTcb* nc,
                const Lib3dsTcb* n, Lib3dsFloat& ksm, Lib3dsFloat& ksp, Lib3dsFloat& kdm,
                Lib3dsFloat& kdp) {
    if (!pc)
        pc = c;
    if (!nc)
        nc = c;
    // Frame differences wrap around as lib3ds's 32-bit arithmetic does for frames far apart.
    const auto difference = [](int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); };
    Lib3dsFloat fp = 1.0f, fn = 1.0f;
    if (p && n) {
        const int32_t before = difference(pc->frame, p->frame);
        const int32_t after = difference(n->frame, nc->frame);
        const Lib3dsFloat dt = 0.5f * Lib3dsFloat(int32_t(uint32_t(before) + uint32_t(after)));
        fp = Lib3dsFloat(before) / dt;
        fn = Lib3dsFloat(after) / dt;
        const Lib3dsFloat cc = std::fabs(c->cont);
        fp = fp + cc - cc * fp;
        fn = fn + cc - cc * fn;
    }
    const Lib3dsFloat cm = 1.0f - c->cont;
    const Lib3dsFloat tm = 0.5f * (1.0f - c->tens);
    const Lib3dsFloat cp = 2.0f - cm;
    const Lib3dsFloat bm = 1.0f - c->bias;
    const Lib3dsFloat bp = 2.0f - bm;
    const Lib3dsFloat tmcm = tm * cm;
    const Lib3dsFloat tmcp = tm * cp;
    ksm = tmcm * bp * fp;
    ksp = tmcp * bm * fp;
    kdm = tmcp * bp * fn;
    kdp = tmcm * bm * fn;
}

// The tangents of key c, with p and n its neighbours (null at the ends of a track that does
// not loop) and cp, cn the keys that stand in for c beside them.
void setUpKey(Lib3dsQuatKey* p, Lib3dsQuatKey* cp, Lib3dsQuatKey* c, Lib3dsQuatKey* cn,
              Lib3dsQuatKey* n) {
    if (!cp)
        cp = c;
    if (!cn)
        cn = c;
    if (!p || !n) {
        copy(c->ds, c->q);
        copy(c->dd, c->q);
        return;
    }
    Quat q, qp, qn, qa, qb;
    // A whole turn or more has no logarithm to take the difference from.
    if (p->angle > twoPi - epsilon) {
        fromAxisAngle(qp, p->axis, 0.0f);
        logarithm(qp);
    } else {
        copy(q, p->q);
        if (dot(q, c->q) < 0)
            for (Lib3dsFloat& v : q)
                v = -v;
        logOfDifference(qp, q, c->q);
    }
    if (n->angle > twoPi - epsilon) {
        fromAxisAngle(qn, n->axis, 0.0f);
        logarithm(qn);
    } else {
        copy(q, n->q);
        if (dot(q, c->q) < 0)
            for (Lib3dsFloat& v : q)
                v = -v;
        logOfDifference(qn, c->q, q);
    }
    Lib3dsFloat ksm, ksp, kdm, kdp;
    tcbWeights(&p->tcb, &cp->tcb, &c->tcb, &cn->tcb, &n->tcb, ksm, ksp, kdm, kdp);
    for (int i = 0; i < 4; ++i) {
        qa[i] = 0.5f * (kdm * qp[i] + (kdp - 1.0f) * qn[i]);
        qb[i] = 0.5f * ((1.0f - ksm) * qp[i] - ksp * qn[i]);
    }
    exponential(qa);
    exponential(qb);
    multiply(c->ds, c->q, qb);
    multiply(c->dd, c->q, qa);
}

} // namespace

void setUpRotationTrack(Lib3dsQuatTrack& track) {
    // Each key's rotation is relative to the one before it.
    Lib3dsQuatKey* previous = nullptr;
    for (Lib3dsQuatKey* k = track.keyL; k; previous = k, k = k->next) {
        Quat q;
        fromAxisAngle(q, k->axis, k->angle);
        if (previous)
            multiply(k->q, q, previous->q);
        else
            copy(k->q, q);
    }
    Lib3dsQuatKey* first = track.keyL;
    if (!first)
        return;
    if (!first->next) {
        copy(first->ds, first->q);
        copy(first->dd, first->q);
        return;
    }
    // A looping track joins its last key to its first.
    const bool smooth = (track.flags & LIB3DS_SMOOTH) != 0;
    if (smooth) {
        Lib3dsQuatKey* beforeLast = first;
        while (beforeLast->next->next)
            beforeLast = beforeLast->next;
        setUpKey(beforeLast, beforeLast->next, first, nullptr, first->next);
    } else {
        setUpKey(nullptr, nullptr, first, nullptr, first->next);
    }
    Lib3dsQuatKey* before = first;
    Lib3dsQuatKey* key = first->next;
    for (; key->next; before = key, key = key->next)
        setUpKey(before, nullptr, key, nullptr, key->next);
    if (smooth)
        setUpKey(before, nullptr, key, first, first->next);
    else
        setUpKey(before, nullptr, key, nullptr, nullptr);
}

namespace {

void setUpBelow(Lib3dsNode* node) {
    for (; node; node = node->next) {
        if (node->type == LIB3DS_OBJECT_NODE)
            setUpRotationTrack(node->data.object.rot_track);
        setUpBelow(node->childs);
    }
}

} // namespace

void setUpRotationTracks(Lib3dsFile& file) {
    setUpBelow(file.nodes);
}

} // namespace korvid
