#include "engine/core/engine.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/smooth_normals.hpp"
#include "tests/scene/mesh_reference.hpp"
#include "tests/scene/synthetic_mesh.hpp"

#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/matrix.h>
#include <lib3ds/vector.h>

#include <cmath>
#include <cstring>
#include <dirent.h>

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

void expectSameAsLinear(Engine& engine, Lib3dsMesh& from) {
    Mesh* fast = convert(engine, from);
    ASSERT_TRUE(fast);
    Mesh plain;
    convertLinear(from, plain);
    std::string difference;
    EXPECT_TRUE(sameMesh(*fast, plain, difference)) << from.name << ": " << difference;
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

TEST(MeshConversion, OpenTriangleAxesTexelsBoundsAndDroppedFaces) {
    Engine engine;
    LibMesh tri = makeMesh("tri", {{1, 2, 3}, {4, 2, 3}, {1, 6, 3}, {9, 9, 9}},
                           {{0, 1, 2, "grey", 0}, {0, 1, 3, "", 0}});
    lib3ds_mesh_new_texel_list(tri.get(), 2);
    tri->texelL[0][0] = 0.25f, tri->texelL[0][1] = 0.75f;
    const Mesh* mesh = convert(engine, *tri);
    ASSERT_EQ(mesh->vertices.size(), 3u); // the face without a material is dropped
    EXPECT_EQ(mesh->vertices[0], (Vector{2, 1, 3}));
    ASSERT_EQ(mesh->edges.size(), 3u);
    for (const Edge& e : mesh->edges) {
        EXPECT_EQ(e.faceCount, 1u);
        EXPECT_TRUE(e.hard);
    }
    const std::vector<Corner>& corners = mesh->groups[0].corners;
    EXPECT_EQ(corners[0].uv, (Point2{0.25f, -0.75f}));
    EXPECT_EQ(corners[2].uv, (Point2{0.0f, 0.0f})); // past the end of the texel list
    EXPECT_EQ(mesh->boundsMin, (Vector{0, 0, 0}));  // the box holds the origin
    EXPECT_EQ(mesh->boundsMax, (Vector{6, 4, 3}));
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
        for (const Vector& v : converted->vertices) {
            // Each vertex is one of the cube's corners (x and y exchanged).
            bool found = false;
            for (size_t i = 0; i < cubePoints.size() && !found; ++i) {
                const Point& q = cubePoints[i];
                const Vector expected{q[1], q[0], c.flat ? 0.0f : q[2]};
                found = std::fabs(v.x - expected.x) < 1e-3f &&
                        std::fabs(v.y - expected.y) < 1e-3f && std::fabs(v.z - expected.z) < 1e-3f;
                if (found && c.lib3dsInverts) {
                    Lib3dsVector exact;
                    lib3ds_vector_transform(exact, inverse, world[i].data());
                    EXPECT_EQ(v, (Vector{exact[1], exact[0], exact[2]})) << c.name;
                }
            }
            EXPECT_TRUE(found) << c.name << " vertex " << v.x << " " << v.y << " " << v.z;
        }
    }
}

TEST(MeshConversion, SignedZerosWeldAndNanNeverDoes) {
    Engine engine;
    const float nan = std::nanf("");
    LibMesh mesh = makeMesh("zeros", {{0, 0, 1}, {-0.0f, 0, 1}, {1, 1, 1}, {nan, 0, 0}},
                            {{0, 2, 3, "a", 0}, {1, 2, 3, "a", 0}});
    const Mesh* converted = convert(engine, *mesh);
    // -0 and +0 weld; the NaN point appears once per use.
    EXPECT_EQ(converted->vertices.size(), 4u);
    expectSameAsLinear(engine,
                       *makeMesh("zeros2", {{0, 0, 1}, {-0.0f, 0, 1}, {1, 1, 1}, {nan, 0, 0}},
                                 {{0, 2, 3, "a", 1}, {1, 2, 3, "a", 1}}));
}

TEST(MeshConversion, SmoothNormalsEqualLib3dsOnes) {
    LibMesh torus = makeTorus(24, 12, true);
    std::vector<LibVector> ours;
    calculateSmoothNormals(*torus, ours);
    std::vector<LibVector> theirs(size_t(torus->faces) * 3);
    lib3ds_mesh_calculate_normals(torus.get(), &theirs[0].v);
    ASSERT_EQ(ours.size(), theirs.size());
    EXPECT_EQ(std::memcmp(ours.data(), theirs.data(), ours.size() * sizeof(LibVector)), 0);
}

TEST(MeshConversion, SameAsLinearSearchOnSyntheticMeshes) {
    Engine engine;
    expectSameAsLinear(engine, *makeTorus(40, 16, false));
    LibMesh twoSided = makeTorus(20, 10, true);
    std::strcpy(twoSided->name, "torus2");
    expectSameAsLinear(engine, *twoSided);
}

TEST(MeshConversion, SameAsLinearSearchOnReferenceFiles) {
    const std::string dir = "../shared/testdata/3ds/";
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
            expectSameAsLinear(engine, *m);
        lib3ds_file_free(file);
    }
    closedir(listing);
    EXPECT_GT(meshes, 10);
}
