#include "engine/core/engine.hpp"
#include "engine/core/surface.hpp"
#include "engine/link/link.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvid;

namespace {

std::vector<std::string> destroyed;

// A resource that records its destruction and holds one reference.
class Probe : public Resource {
public:
    Probe(ResourceKind kind, ResourceRef ref = {}) : Resource(kind), ref(std::move(ref)) {}
    ~Probe() override { destroyed.push_back(std::to_string(kind) + ":" + name); }
    void collectResourceRefs(ResourceRefSet& refs) override {
        refs.clear();
        refs[&ref] = true;
    }
    ResourceRef ref;
};

} // namespace

TEST(Errors, MessagesByCode) {
    EXPECT_STREQ(errorMessages[errNone], "none");
    EXPECT_STREQ(errorMessages[errSdl], "sdl fucked joo - check SDL_GetError()");
    EXPECT_STREQ(errorMessages[KRV_ERR_SKYBOX_IN_SKYBOX], "KRV_ERR_SKYBOX_IN_SKYBOX");
    EXPECT_STREQ(errorMessages[errUnknown], "unknown (aw crap)");
    EXPECT_STREQ(errorMessages[errNameInUse], "name in use");
    EXPECT_STREQ(errorMessages[errTargetNotFound],
                 "camera/spotlight target node not found in scene");
}

TEST(Engine, RegistrationRules) {
    Engine engine;
    EXPECT_EQ(engine.addResource(nullptr, "x"), errResourceNotFound);

    auto* wait = new Surface;
    ASSERT_EQ(engine.addResource(wait, "wait"), errNone);
    EXPECT_EQ(wait->owner, &engine);
    EXPECT_EQ(wait->name, "wait");
    EXPECT_EQ(engine.findResource(kindSurface, "wait"), wait);
    // The same object again, under any name.
    EXPECT_EQ(engine.addResource(wait, "other"), errInvalidCall);

    // Another surface under a taken name stays with its caller.
    Surface second;
    EXPECT_EQ(engine.addResource(&second, "wait"), errNameInUse);
    EXPECT_EQ(second.owner, nullptr);
    // Names are per kind.
    auto* scene = new Probe(kindScene);
    EXPECT_EQ(engine.addResource(scene, "wait"), errNone);

    // A lookup that finds nothing leaves a free entry behind.
    EXPECT_EQ(engine.findResource(kindSurface, "nothing"), nullptr);
    EXPECT_EQ(engine.addResource(new Surface, "nothing"), errNone);
    // Any string is a name, the empty one too.
    EXPECT_EQ(engine.addResource(new Surface, ""), errNone);
}

TEST(Engine, RemovalAndReleaseDestroyAndFreeNames) {
    destroyed.clear();
    Engine engine;
    ASSERT_EQ(engine.addResource(new Probe(kindMaterial), "grass"), errNone);
    engine.removeResource(kindMaterial, "grass");
    EXPECT_EQ(destroyed, std::vector<std::string>{"3:grass"});
    engine.removeResource(kindMaterial, "grass");
    engine.removeResource(kindMaterial, "never");
    EXPECT_EQ(destroyed.size(), 1u);
    EXPECT_EQ(engine.addResource(new Probe(kindMaterial), "grass"), errNone);

    // Release goes kind by kind, each kind's names in order.
    destroyed.clear();
    const std::pair<ResourceKind, const char*> more[] = {
        {kindSurface, "b"}, {kindMaterial, "m"}, {kindScene, "z"},  {kindScene, "a"},
        {kindMesh, "ab"},   {kindMesh, "a"},     {kindSurface, "B"}};
    for (const auto& [kind, name] : more)
        ASSERT_EQ(engine.addResource(new Probe(kind), name), errNone);
    engine.findResource(kindMaterial, "looked-up-only");
    engine.releaseAll();
    EXPECT_EQ(destroyed, (std::vector<std::string>{"1:a", "1:z", "2:a", "2:ab", "3:grass", "3:m",
                                                   "4:B", "4:b"}));
    EXPECT_TRUE(engine.entries().empty());
    engine.releaseAll();
    EXPECT_EQ(destroyed.size(), 8u);
    // The context can be filled again.
    EXPECT_EQ(engine.addResource(new Probe(kindScene), "a"), errNone);
}

TEST(Engine, LinkingResolvesByKindAndName) {
    Engine engine;
    auto* texture = new Surface;
    ASSERT_EQ(engine.addResource(texture, "grass"), errNone);
    auto* found = new Probe(kindMaterial, ResourceRef(kindSurface, "grass"));
    auto* missing = new Probe(kindMaterial, ResourceRef(kindSurface, "absent"));
    ResourceRef none(kindSurface, "grass");
    none.empty = true;
    auto* empty = new Probe(kindMaterial, none);
    ASSERT_EQ(engine.addResource(found, "a"), errNone);
    ASSERT_EQ(engine.addResource(missing, "b"), errNone);
    ASSERT_EQ(engine.addResource(empty, "c"), errNone);
    empty->ref.resolved = texture;

    linkResources(engine);
    EXPECT_EQ(found->ref.resolved, texture);
    EXPECT_EQ(missing->ref.resolved, nullptr);
    EXPECT_EQ(empty->ref.resolved, nullptr);

    // A reference changed after a link takes effect at the next one.
    missing->ref.name = "grass";
    linkResources(engine);
    EXPECT_EQ(missing->ref.resolved, texture);
}
