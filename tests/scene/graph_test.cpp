#include "engine/core/engine.hpp"
#include "engine/link/link.hpp"
#include "engine/scene/scene.hpp"

#include <gtest/gtest.h>

using namespace korvid;

namespace {

bool registered(Scene& scene, Node* node) {
    auto& nodes = scene.nodesByType[node->type];
    auto found = nodes.find(node);
    return found != nodes.end() && found->second;
}

// Counts destructions, to see that a subtree goes with its parent.
struct CountedNode : TargetNode {
    explicit CountedNode(int& destroyed) : destroyed(destroyed) {}
    ~CountedNode() override { ++destroyed; }
    int& destroyed;
};

} // namespace

TEST(SceneGraph, AttachRegistersAndNamesAreUnique) {
    Scene scene;
    EXPECT_TRUE(registered(scene, &scene.root));
    EXPECT_EQ(scene.root.scene(), &scene);

    auto* box = new MeshNode;
    ASSERT_EQ(attach(&scene.root, box, "RedBox01"), errNone);
    EXPECT_EQ(box->name, "RedBox01");
    EXPECT_EQ(box->parent, &scene.root);
    EXPECT_TRUE(registered(scene, box));

    auto* rival = new MeshNode;
    EXPECT_EQ(attach(&scene.root, rival, "RedBox01"), errNameInUse);
    EXPECT_EQ(scene.root.children.at("RedBox01"), box);
    EXPECT_FALSE(registered(scene, rival));
    delete rival;
    EXPECT_EQ(attach(&scene.root, nullptr, "x"), errInvalidCall);

    // A subtree built apart joins the registry whole when it is attached.
    auto* group = new ContainerNode;
    auto* inner = new CameraNode;
    ASSERT_EQ(attach(group, inner, "cam"), errNone);
    EXPECT_EQ(inner->scene(), nullptr);
    ASSERT_EQ(attach(&scene.root, group, "group"), errNone);
    EXPECT_TRUE(registered(scene, inner));
    EXPECT_EQ(inner->scene(), &scene);
}

TEST(SceneGraph, PathLookup) {
    Scene scene;
    auto* a = new ContainerNode;
    auto* b = new TargetNode;
    auto* c = new TargetNode;
    attach(&scene.root, a, "a");
    attach(a, b, "b");
    attach(&scene.root, c, "c");

    EXPECT_EQ(scene.root.find("/"), &scene.root);
    EXPECT_EQ(b->find(""), b);
    EXPECT_EQ(scene.root.find(".."), nullptr);
    EXPECT_EQ(scene.root.find("/a/b"), b);
    EXPECT_EQ(scene.root.find("//a//b/"), b);
    EXPECT_EQ(b->find("/c"), c);
    EXPECT_EQ(b->find(".."), a);
    EXPECT_EQ(b->find("./../.."), &scene.root);
    EXPECT_EQ(scene.root.find("/a/../c"), c);
    EXPECT_EQ(scene.root.find("/x/../c"), nullptr);
    EXPECT_EQ(scene.root.find("a/b"), b);
    EXPECT_EQ(scene.root.find("/a/b/c"), nullptr);

    // Detached: out of the registry and its parent, and absolute paths find nothing.
    a->detach();
    EXPECT_EQ(a->parent, nullptr);
    EXPECT_EQ(scene.root.children.count("a"), 0u);
    EXPECT_FALSE(registered(scene, a));
    EXPECT_FALSE(registered(scene, b));
    EXPECT_EQ(b->find("/c"), nullptr);
    EXPECT_EQ(b->find(".."), a);
    delete a;
}

TEST(SceneGraph, DestroyingANodeDestroysItsSubtree) {
    int destroyed = 0;
    {
        Scene scene;
        auto* group = new ContainerNode;
        attach(&scene.root, group, "group");
        auto* first = new CountedNode(destroyed);
        attach(group, first, "first");
        attach(first, new CountedNode(destroyed), "deeper");
        attach(&scene.root, new CountedNode(destroyed), "other");
        delete group;
        EXPECT_EQ(destroyed, 2);
        EXPECT_EQ(scene.root.children.size(), 1u);
        EXPECT_EQ(scene.nodesByType[nodeTarget].size(), 1u);
    }
    EXPECT_EQ(destroyed, 3); // the scene took the rest with it
}

// The link step points camera and spotlight targets at the node their path names, looked
// up from the owning node; a reference into a scene that is not registered keeps its node.
TEST(SceneGraph, LinkResolvesTargetsByPath) {
    Engine engine;
    auto* scene = new Scene;
    ASSERT_EQ(engine.addResource(scene, "a"), errNone);
    auto* group = new ContainerNode;
    auto* target = new TargetNode;
    auto* near = new TargetNode;
    attach(&scene->root, group, "group");
    attach(&scene->root, target, "Camera01.ctarget");
    attach(group, near, "near");
    auto aimed = [&](const char* name, NodeRef ref, const char* sceneName, Node* before) {
        auto* camera = new CameraNode;
        camera->target = std::move(ref);
        if (sceneName)
            camera->target.scene = ResourceRef(kindScene, sceneName);
        camera->target.node = before;
        attach(group, camera, name);
        return camera;
    };
    CameraNode* absolute = aimed("absolute", NodeRef("//Camera01.ctarget"), nullptr, nullptr);
    CameraNode* relative = aimed("relative", NodeRef("../near"), nullptr, nullptr);
    CameraNode* lost = aimed("lost", NodeRef("/nothing"), nullptr, target);
    CameraNode* untargeted = aimed("untargeted", NodeRef(), nullptr, target);
    CameraNode* named = aimed("named", NodeRef("/Camera01.ctarget"), "a", nullptr);
    CameraNode* elsewhere = aimed("elsewhere", NodeRef("/Camera01.ctarget"), "nowhere", near);
    auto* spot = new SpotLightNode;
    spot->target = NodeRef("near");
    attach(group, spot, "spot");
    auto* child = new TargetNode;
    attach(spot, child, "near");

    linkResources(engine);
    EXPECT_EQ(absolute->target.node, target);
    EXPECT_EQ(relative->target.node, near);
    EXPECT_EQ(lost->target.node, nullptr);
    EXPECT_EQ(untargeted->target.node, nullptr);
    EXPECT_EQ(named->target.node, target);
    EXPECT_EQ(elsewhere->target.node, near);
    EXPECT_EQ(spot->target.node, child); // a relative path starts at the owner itself

    // A path changed after linking takes effect at the next link.
    absolute->target.path = "/group/near";
    linkResources(engine);
    EXPECT_EQ(absolute->target.node, near);
}
