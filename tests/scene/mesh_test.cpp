#include "engine/core/engine.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/mesh_matrix.hpp"
#include "engine/scene/smooth_normals.hpp"
#include "tests/scene/synthetic_mesh.hpp"

#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/matrix.h>
#include <lib3ds/vector.h>

#include <cmath>
#include <dirent.h>
#include <map>

using namespace korvid;
using namespace korvid::testing;

namespace {

const std::vector<Point> cubePoints = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                       {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

// Twelve outward triangles; `material` and `smoothing` per side from the callback.
template <class Side>
std::vector<FaceSpec> cubeFaces(Side side) {
    const uint16_t quads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                  {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    std::vector<FaceSpec> faces;
    for (int s = 0; s < 6; ++s) {
        const auto [material, smoothing] = side(s);
        const uint16_t* q = quads[s];
        faces.push_back({q[0], q[1], q[2], material, smoothing});
        faces.push_back({q[0], q[2], q[3], material, smoothing});
    }
    return faces;
}

Mesh* convert(Engine& engine, Lib3dsMesh& from) {
    EXPECT_EQ(convertMesh(engine, &from), errNone);
    return engine.find<Mesh>(kindMesh, from.name);
}

size_t hardEdges(const Mesh& mesh) {
    size_t n = 0;
    for (const Edge& e : mesh.edges)
        n += e.hard;
    return n;
}

bool same(const Vector& a, const Vector& b) {
    auto eq = [](float x, float y) { return x == y || (std::isnan(x) && std::isnan(y)); };
    return eq(a.x, b.x) && eq(a.y, b.y) && eq(a.z, b.z);
}

Vector transformed(const Lib3dsMatrix m, const float* v) {
    Lib3dsVector out;
    lib3ds_vector_transform(out, const_cast<float(*)[4]>(m), const_cast<float*>(v));
    return {out[1], out[0], out[2]}; // x and y exchanged
}

// A faithful conversion, stated as properties of its result rather than rebuilt step by
// step: every face with a material is, in file order, the next triangle of its material's
// group, whose corners lead back to the face's points (in object space), lib3ds's smoothed
// normals and texels; vertices, the normals of a vertex and the corners of a group are welded
// completely and numbered in order of first use; every side of every triangle is one
// edge, with its first and last triangle, soft only between two triangles of one group
// with the same normals; the box holds the origin and every vertex.
void expectFaithful(Engine& engine, Lib3dsMesh& from) {
    const Mesh* mesh = convert(engine, from);
    ASSERT_TRUE(mesh);
    Lib3dsMatrix inv, rot;
    meshMatrixInverse(from.matrix, inv);
    lib3ds_matrix_identity(rot);
    for (int axis = 0; axis < 3; ++axis) {
        lib3ds_vector_copy(rot[axis], inv[axis]);
        lib3ds_vector_normalize(rot[axis]);
    }
    std::vector<LibVector> smoothed(size_t(from.faces) * 3);
    if (from.faces)
        lib3ds_mesh_calculate_normals(&from, &smoothed[0].v);
    std::map<std::string, uint32_t> groupOf;
    for (uint32_t g = 0; g < mesh->groups.size(); ++g) {
        groupOf[mesh->groups[g].material.name] = g;
        EXPECT_TRUE(g == 0 || mesh->groups[g - 1].material.name < mesh->groups[g].material.name);
    }
    std::vector<uint32_t> triangles(mesh->groups.size()), cornersUsed(mesh->groups.size());
    uint32_t verticesUsed = 0, normalsUsed = 0;
    auto firstUse = [](uint32_t index, uint32_t& used) {
        EXPECT_LE(index, used);
        used += index == used;
    };
    for (uint32_t f = 0; f < from.faces; ++f) {
        const Lib3dsFace& face = from.faceL[f];
        if (!face.material[0])
            continue;
        const uint32_t g = groupOf.at(face.material);
        const MeshGroup& group = mesh->groups[g];
        const Triangle& t = group.triangles.at(triangles[g]++);
        for (int k = 0; k < 3; ++k) {
            const uint32_t v = face.points[k];
            const Corner& c = group.corners.at(t.corner[k]);
            const VertexNormal& n = mesh->normals.at(c.normal);
            EXPECT_TRUE(same(mesh->vertices.at(n.vertex), transformed(inv, from.pointL[v].pos)));
            EXPECT_TRUE(same(n.normal, transformed(rot, smoothed[f * 3 + k].v)));
            const Point2 uv =
                v < from.texels ? Point2{from.texelL[v][0], -from.texelL[v][1]} : Point2{0, 0};
            EXPECT_TRUE(c.uv == uv && c.uv2 == (Point2{0, 0}));
            firstUse(t.corner[k], cornersUsed[g]);
            firstUse(c.normal, normalsUsed);
            firstUse(n.vertex, verticesUsed);
        }
    }
    EXPECT_EQ(verticesUsed, mesh->vertices.size());
    EXPECT_EQ(normalsUsed, mesh->normals.size());
    auto distinct = [&](size_t count, auto equal) {
        for (size_t i = 0; i < count; ++i)
            for (size_t j = 0; j < i; ++j)
                EXPECT_FALSE(equal(i, j)) << from.name << ": " << i << " and " << j;
    };
    distinct(mesh->vertices.size(),
             [&](size_t i, size_t j) { return mesh->vertices[i] == mesh->vertices[j]; });
    distinct(mesh->normals.size(), [&](size_t i, size_t j) {
        return mesh->normals[i].vertex == mesh->normals[j].vertex &&
               mesh->normals[i].normal == mesh->normals[j].normal;
    });
    for (const MeshGroup& group : mesh->groups)
        distinct(group.corners.size(), [&](size_t i, size_t j) {
            const Corner &a = group.corners[i], &b = group.corners[j];
            return a.normal == b.normal && a.uv == b.uv && a.uv2 == b.uv2;
        });

    struct Side {
        uint32_t g, t, a, b, normalA, normalB;
    };
    std::map<std::pair<uint32_t, uint32_t>, std::vector<Side>> sides;
    std::vector<std::pair<uint32_t, uint32_t>> firstSeen;
    for (uint32_t g = 0; g < mesh->groups.size(); ++g) {
        const MeshGroup& group = mesh->groups[g];
        EXPECT_EQ(triangles[g], group.triangles.size());
        EXPECT_EQ(cornersUsed[g], group.corners.size());
        for (uint32_t t = 0; t < group.triangles.size(); ++t)
            for (int k = 0; k < 3; ++k) {
                const uint32_t na = group.corners[group.triangles[t].corner[k]].normal;
                const uint32_t nb = group.corners[group.triangles[t].corner[(k + 1) % 3]].normal;
                const uint32_t a = mesh->normals[na].vertex, b = mesh->normals[nb].vertex;
                std::vector<Side>& list = sides[std::minmax(a, b)];
                if (list.empty())
                    firstSeen.push_back(std::minmax(a, b));
                list.push_back({g, t, a, b, na, nb});
            }
    }
    ASSERT_EQ(mesh->edges.size(), firstSeen.size()) << from.name;
    for (size_t i = 0; i < firstSeen.size(); ++i) {
        const Edge& e = mesh->edges[i];
        const std::vector<Side>& list = sides[firstSeen[i]];
        const Side &first = list.front(), &last = list.back();
        EXPECT_TRUE(e.vertexA == first.a && e.vertexB == first.b && e.normalA == first.normalA &&
                    e.normalB == first.normalB && e.group1 == first.g && e.triangle1 == first.t)
            << from.name << " edge " << i;
        EXPECT_EQ(e.faceCount, std::min<size_t>(list.size(), 2));
        EXPECT_TRUE(list.size() == 1 || (e.group2 == last.g && e.triangle2 == last.t));
        const bool soft =
            list.size() > 1 && last.g == first.g &&
            std::minmax(last.normalA, last.normalB) == std::minmax(first.normalA, first.normalB);
        EXPECT_EQ(e.hard, !soft) << from.name << " edge " << i;
    }
    Vector lo{}, hi{};
    for (const Vector& v : mesh->vertices) {
        lo = {std::fmin(lo.x, v.x), std::fmin(lo.y, v.y), std::fmin(lo.z, v.z)};
        hi = {std::fmax(hi.x, v.x), std::fmax(hi.y, v.y), std::fmax(hi.z, v.z)};
    }
    EXPECT_TRUE(mesh->boundsValid && mesh->boundsMin == lo && mesh->boundsMax == hi);
}

} // namespace

TEST(MeshConversion, ClosedCubeWeldsToEightVerticesAndEighteenEdges) {
    Engine engine;
    LibMesh smooth =
        makeMesh("smooth", cubePoints, cubeFaces([](int) { return std::make_pair("white", 1u); }));
    const Mesh* mesh = convert(engine, *smooth);
    EXPECT_EQ(mesh->vertices.size(), 8u);
    EXPECT_EQ(mesh->normals.size(), 8u); // one smoothing group: one normal per corner point
    ASSERT_EQ(mesh->edges.size(), 18u);
    for (const Edge& e : mesh->edges) {
        EXPECT_EQ(e.faceCount, 2u);
        EXPECT_FALSE(e.hard);
    }

    // A smoothing group per side: the normals split at every corner and the twelve sides
    // become creases; the six diagonals stay soft.
    LibMesh faceted =
        makeMesh("faceted", cubePoints,
                 cubeFaces([](int side) { return std::make_pair("white", 1u << side); }));
    mesh = convert(engine, *faceted);
    EXPECT_EQ(mesh->vertices.size(), 8u);
    EXPECT_EQ(mesh->normals.size(), 24u);
    EXPECT_EQ(mesh->edges.size(), 18u);
    EXPECT_EQ(hardEdges(*mesh), 12u);

    // Two materials: two groups in name order, hard edges where they meet.
    LibMesh twoTone =
        makeMesh("twotone", cubePoints,
                 cubeFaces([](int side) { return std::make_pair(side < 2 ? "red" : "blue", 1u); }));
    mesh = convert(engine, *twoTone);
    ASSERT_EQ(mesh->groups.size(), 2u);
    EXPECT_EQ(mesh->groups[0].material.name, "blue");
    EXPECT_EQ(mesh->groups[1].material.name, "red");
    EXPECT_EQ(mesh->groups[0].material.kind, kindMaterial);
    EXPECT_EQ(mesh->groups[0].triangles.size(), 8u);
    EXPECT_EQ(hardEdges(*mesh), 8u); // the rims of the top and the bottom

    // A second mesh of a name in use is not converted; the first stays.
    EXPECT_EQ(convertMesh(engine, smooth.get()), errNameInUse);
    EXPECT_EQ(engine.find<Mesh>(kindMesh, "smooth")->edges.size(), 18u);
}

// Points are stored in world space, made from the object's points by the mesh matrix
// (columns = axes); the conversion takes them back. Where lib3ds inverts the matrix the
// result is exactly lib3ds's; where it gives up (scale 0.002 has the pivot product 8e-9)
// the inverse must still be right; a flat matrix takes the points onto its plane.
TEST(MeshConversion, MatrixTakesPointsBackToObjectSpace) {
    struct Case {
        const char* name;
        float axes[3][3];
        bool lib3dsInverts, flat;
    };
    const Case cases[] = {
        {"skewed", {{1, 2, 3}, {0, 1, 4}, {5, 6, 0}}, true, false},
        {"tiny", {{0.002f, 0, 0}, {0, 0.002f, 0}, {0, 0, 0.002f}}, false, false},
        {"flat", {{1.5f, 2, 0}, {-2, 1.5f, 0}, {0, 0, 0}}, false, true},
    };
    const double origin[3] = {5, 6, 7};
    Engine engine;
    for (const Case& c : cases) {
        std::vector<Point> world;
        for (const Point& q : cubePoints) {
            Point p;
            for (int i = 0; i < 3; ++i)
                p[i] = float(origin[i] + c.axes[0][i] * q[0] + c.axes[1][i] * q[1] +
                             c.axes[2][i] * q[2]);
            world.push_back(p);
        }
        LibMesh mesh =
            makeMesh(c.name, world, cubeFaces([](int) { return std::make_pair("a", 1u); }));
        for (int j = 0; j < 3; ++j)
            std::copy(c.axes[j], c.axes[j] + 3, mesh->matrix[j]);
        std::copy(origin, origin + 3, mesh->matrix[3]);
        Lib3dsMatrix inverse;
        lib3ds_matrix_copy(inverse, mesh->matrix);
        ASSERT_EQ(lib3ds_matrix_inv(inverse) != 0, c.lib3dsInverts) << c.name;
        const Mesh* converted = convert(engine, *mesh);
        ASSERT_EQ(converted->vertices.size(), c.flat ? 4u : 8u) << c.name; // flat: top on bottom
        const int firstUse[] = {0, 3, 2, 1, 4, 5, 6, 7}; // the order the faces use the corners
        for (size_t i = 0; i < converted->vertices.size(); ++i) {
            const Vector& v = converted->vertices[i];
            const Point& q = cubePoints[firstUse[i]];
            EXPECT_NEAR(v.x, q[1], 1e-3f) << c.name; // x and y exchanged
            EXPECT_NEAR(v.y, q[0], 1e-3f) << c.name;
            EXPECT_NEAR(v.z, c.flat ? 0.0f : q[2], 1e-3f) << c.name;
            Lib3dsVector exact;
            lib3ds_vector_transform(exact, inverse, world[firstUse[i]].data());
            EXPECT_TRUE(!c.lib3dsInverts || v == (Vector{exact[1], exact[0], exact[2]})) << c.name;
        }
    }
}

TEST(MeshConversion, FaithfulOnSyntheticMeshes) {
    Engine engine;
    // Material seams, creases, and four triangles on every edge of the two-sided torus.
    expectFaithful(engine, *makeTorus(20, 10, true));

    // An open triangle with texels for its first points only, and a face without a
    // material, which is dropped with its point.
    LibMesh tri = makeMesh("tri", {{1, 2, 3}, {4, 2, 3}, {1, 6, 3}, {9, 9, 9}},
                           {{0, 1, 2, "grey", 0}, {0, 1, 3, "", 0}});
    lib3ds_mesh_new_texel_list(tri.get(), 2);
    tri->texelL[0][0] = 0.25f, tri->texelL[0][1] = 0.75f;
    expectFaithful(engine, *tri);
    EXPECT_EQ(engine.find<Mesh>(kindMesh, "tri")->vertices.size(), 3u);

    // -0 and +0 weld; the NaN point appears once per use.
    const float nan = std::nanf("");
    expectFaithful(engine, *makeMesh("zeros", {{0, 0, 1}, {-0.0f, 0, 1}, {1, 1, 1}, {nan, 0, 0}},
                                     {{0, 2, 3, "a", 1}, {1, 2, 3, "a", 1}}));
    EXPECT_EQ(engine.find<Mesh>(kindMesh, "zeros")->vertices.size(), 4u);
}

TEST(MeshConversion, FaithfulOnReferenceFiles) {
    const std::string dir = KORVID_TEST_DATA "/3ds/";
    DIR* listing = opendir(dir.c_str());
    ASSERT_TRUE(listing);
    int meshes = 0;
    while (dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.size() < 4 ||
            (name.substr(name.size() - 4) != ".3ds" && name.substr(name.size() - 4) != ".3DS"))
            continue;
        Lib3dsFile* file = lib3ds_file_load((dir + name).c_str());
        ASSERT_TRUE(file) << name;
        Engine engine;
        for (Lib3dsMesh* m = file->meshes; m; m = m->next, ++meshes)
            expectFaithful(engine, *m);
        lib3ds_file_free(file);
    }
    closedir(listing);
    EXPECT_GT(meshes, 10);
}
