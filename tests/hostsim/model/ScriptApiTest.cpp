#include "hostsim/model/ScriptApi.h"

#include <gtest/gtest.h>

#include <cmath>

#include "hostsim/model/Document.h"

namespace hostsim {
namespace {

Value Pt(double x, double y, double z) {
    return Value::Point(x, y, z);
}

Value Int16Point(std::int16_t x, std::int16_t y, std::int16_t z) {
    return Value::Array({Value::Int16(x), Value::Int16(y), Value::Int16(z)});
}

// The planes as the tool passes them: four arrays of three 16-bit integers.
Value XyPlane() {
    return Value::Array({Int16Point(0, 0, 0), Int16Point(1, 0, 0), Int16Point(0, 1, 0), Int16Point(0, 0, 0)});
}

Value YzPlane() {
    return Value::Array({Int16Point(0, 0, 0), Int16Point(0, 0, 1), Int16Point(0, 1, 0), Int16Point(0, 0, 1)});
}

Vec3 AsVec(const Value& point) {
    return {point.Elements()[0].AsDouble(), point.Elements()[1].AsDouble(), point.Elements()[2].AsDouble()};
}

class ScriptApiTest : public ::testing::Test {
  protected:
    std::string Add(const std::string& sceneLine) { return api.Control("add " + sceneLine); }
    Value Call(const std::string& op, std::vector<Value> args = {}) { return api.Call(op, args); }

    ScriptApi api{1};
};

TEST_F(ScriptApiTest, OperationTableMatchesNamesIgnoringCaseAndMarksDocumentChanges) {
    EXPECT_EQ(api.Call("unselectallobjects", {}), Value::Int32(0));
    EXPECT_EQ(api.Call("UNSELECTALLOBJECTS", {}), Value::Int32(0));
    EXPECT_THROW(api.Call("Unselect", {}), ScriptError);
    // The views redraw only after a call that can change the document: not after each query.
    EXPECT_FALSE(ScriptApi::MayChangeDocument("ispoint", {Value::String("x")}));
    EXPECT_FALSE(ScriptApi::MayChangeDocument("PointCoordinates", {Value::String("x"), Value()}));
    EXPECT_TRUE(ScriptApi::MayChangeDocument("PointCoordinates", {Value::String("x"), Pt(1, 2, 3)}));
    EXPECT_TRUE(ScriptApi::MayChangeDocument("AddPoint", {Pt(1, 2, 3)}));
}

TEST_F(ScriptApiTest, NothingIsNull) {
    EXPECT_EQ(Call("AllObjects"), Value::Null());
    EXPECT_EQ(Call("SelectedObjects"), Value::Null());
    EXPECT_EQ(Call("GetObject", {Value::String("Pick a Line "), Value::Int16(4)}), Value::Null());
    EXPECT_EQ(Call("GetObjects", {Value::String("Pick points"), Value::Int16(1)}), Value::Null());
    EXPECT_EQ(Call("AddLine", {Pt(1, 1, 1), Pt(1, 1, 1)}), Value::Null());
    EXPECT_EQ(Call("AddPoint", {Value::String("1,2,3")}), Value::Null());
}

TEST_F(ScriptApiTest, AddedObjectsAreListedInOrderAndAnsweredAsTheHostDoes) {
    const Value line =
        Call("AddLine", {Pt(0, 10, 0), Value::Array({Value::Int16(-5000), Value::Double(10), Value::Double(0)})});
    ASSERT_EQ(line.Kind(), ValueKind::String);
    EXPECT_EQ(line.AsString().size(), 36u);
    const Value point = Call("AddPoint", {Value::Array({Value::Int32(1), Value::Int16(2)})});
    ASSERT_EQ(point.Kind(), ValueKind::String);

    const Value all = Call("AllObjects");
    ASSERT_EQ(all.Dimensions(), 1u);
    EXPECT_EQ(all.Bounds()[0].lowerBound, 0);
    EXPECT_EQ(all.Elements(), (std::vector<Value>{line, point}));

    EXPECT_EQ(Call("IsPoint", {point}), Value::Bool(true));
    EXPECT_EQ(Call("IsCurve", {point}), Value::Bool(false));
    EXPECT_EQ(Call("IsPoint", {line}), Value::Bool(false));
    EXPECT_EQ(Call("IsCurve", {line}), Value::Bool(true));
    // A point given with two coordinates lies at z = 0.
    EXPECT_EQ(Call("PointCoordinates", {point}), Pt(1, 2, 0));
    EXPECT_EQ(Call("PointCoordinates", {line}), Value::Null());
}

TEST_F(ScriptApiTest, IdsResolveIgnoringCaseBracesAndBlanks) {
    const std::string id = Add("point 1 2 3");
    std::string lower = id;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    static const struct {
        const char* name;
        std::string text;
        Value expected;
    } kCases[] = {
        {"canonical", id, Value::Bool(true)},
        {"lower case", lower, Value::Bool(true)},
        {"braces and blanks", "  {" + lower + "} ", Value::Bool(true)},
        {"malformed", id.substr(1), Value::Null()},
        {"unknown", "00000000-0000-0000-0000-000000000000", Value::Null()},
        {"empty", "", Value::Null()},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Call("IsPoint", {Value::String(c.text)}), c.expected);
    }
    EXPECT_EQ(Call("IsPoint", {Value::Double(1)}), Value::Null());
    EXPECT_EQ(Call("IsPoint", {Value::Null()}), Value::Null());
}

TEST_F(ScriptApiTest, SelectionAnswers) {
    const std::string a = Add("point 0 0 0");
    const std::string b = Add("line 0 0 0 1 0 0");
    const std::string unknown = "00000000-0000-0000-0000-000000000000";
    EXPECT_EQ(Call("SelectObject", {Value::String(b)}), Value::Bool(true));
    EXPECT_EQ(Call("SelectObject", {Value::String(" " + a + " ")}), Value::Bool(true));
    EXPECT_EQ(Call("SelectObject", {Value::String(unknown)}), Value::Null());
    EXPECT_EQ(Call("SelectObject", {Value::String("")}), Value::Null());
    // Listed in document order, not in the order selected.
    EXPECT_EQ(Call("SelectedObjects"), Value::Array({Value::String(a), Value::String(b)}));
    EXPECT_EQ(Call("UnselectObject", {Value::String(a)}), Value::Bool(true));
    EXPECT_EQ(Call("UnselectObject", {Value::String(unknown)}), Value::Null());
    EXPECT_EQ(Call("SelectedObjects"), Value::Array({Value::String(b)}));
    EXPECT_EQ(Call("UnselectAllObjects"), Value::Int32(1));
    EXPECT_EQ(Call("UnselectAllObjects"), Value::Int32(0));
    EXPECT_EQ(Call("SelectedObjects"), Value::Null());
}

TEST_F(ScriptApiTest, DeleteObjectRemovesOnce) {
    const std::string id = Add("line 0 0 0 1 0 0");
    EXPECT_EQ(Call("DeleteObject", {Value::String(id)}), Value::Bool(true));
    EXPECT_EQ(Call("DeleteObject", {Value::String(id)}), Value::Bool(false));
    EXPECT_EQ(Call("IsCurve", {Value::String(id)}), Value::Null());
    EXPECT_EQ(Call("AllObjects"), Value::Null());
}

TEST_F(ScriptApiTest, LockedAndHiddenObjectsAreListedButNeitherSelectedNorDeletedWithoutIgnoringModes) {
    api.Control("add point 9 9 9 selected");  // the user's own selection stays as it is
    static const struct {
        const char* name;
        const char* scene;
        bool selectable;
    } kCases[] = {
        {"normal", "line 0 0 0 1 0 0", true},
        {"normal on a normal layer", "line 0 0 0 1 0 0 layer=Open", true},
        {"locked", "line 0 0 0 1 0 0 locked", false},
        {"hidden", "line 0 0 0 1 0 0 hidden", false},
        {"on a locked layer", "line 0 0 0 1 0 0 layer=Locked", false},
        {"on a hidden layer", "line 0 0 0 1 0 0 layer=Hidden", false},
    };
    api.Doc().SetLayer("Open", {});
    api.Doc().SetLayer("Locked", {true, false});
    api.Doc().SetLayer("Hidden", {false, true});
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string id = Add(c.scene);
        EXPECT_EQ(Call("SelectObject", {Value::String(id)}), Value::Bool(c.selectable));
        EXPECT_EQ(Call("SelectedObjects").Elements().size(), c.selectable ? 2u : 1u);
        const std::vector<Value> all = Call("AllObjects").Elements();
        EXPECT_EQ(all.back(), Value::String(id));
        Call("UnselectObject", {Value::String(id)});
        EXPECT_EQ(Call("DeleteObject", {Value::String(id)}), Value::Bool(c.selectable));
        if (!c.selectable) {
            EXPECT_EQ(Call("DeleteObject", {Value::String(id), Value::Bool(false)}), Value::Bool(false));
            EXPECT_EQ(Call("DeleteObject", {Value::String(id), Value::Bool(true)}), Value::Bool(true));
        }
        EXPECT_EQ(Call("IsCurve", {Value::String(id)}), Value::Null());
    }
}

TEST_F(ScriptApiTest, EnableRedrawAnswersThePreviousState) {
    EXPECT_EQ(Call("EnableRedraw", {Value::Bool(false)}), Value::Bool(true));
    EXPECT_FALSE(api.Doc().RedrawEnabled());
    EXPECT_EQ(Call("EnableRedraw", {Value::Bool(false)}), Value::Bool(false));
    EXPECT_EQ(Call("EnableRedraw", {Value::Bool(true)}), Value::Bool(false));
    EXPECT_TRUE(api.Doc().RedrawEnabled());
}

TEST_F(ScriptApiTest, MissingOrSurplusArgumentsRaise) {
    EXPECT_THROW(Call("IsPoint"), ScriptError);
    EXPECT_THROW(Call("AddLine", {Pt(0, 0, 0)}), ScriptError);
    EXPECT_THROW(Call("AddLine", {Pt(0, 0, 0), Value::Empty()}), ScriptError);
    EXPECT_THROW(Call("WindowHandle", {Value::Int16(1)}), ScriptError);
    try {
        Call("AddPoint");
        FAIL() << "no error raised";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.Operation(), "AddPoint");
        EXPECT_EQ(error.Description(), "Argument not optional");
    }
}

TEST_F(ScriptApiTest, DivideCurveRoundsTheCountHalfToEven) {
    const Value line = Value::String(Add("line 0 0 0 12 0 0"));
    static const struct {
        const char* name;
        Value count;
        std::size_t points;  // 0: Null
    } kCases[] = {
        {"9", Value::Double(9), 10},
        {"2.5 rounds to 2", Value::Double(2.5), 3},
        {"3.5 rounds to 4", Value::Double(3.5), 5},
        {"1.5 rounds to 2", Value::Double(1.5), 3},
        {"0.5 rounds to 0", Value::Double(0.5), 0},
        {"1", Value::Int16(1), 2},
        {"0", Value::Double(0), 0},
        {"-1", Value::Double(-1), 0},
        {"one million", Value::Int32(1000000), 1000001},
        {"over a million", Value::Double(1000001), 0},
        {"infinite", Value::Double(INFINITY), 0},
        {"not a number", Value::Double(NAN), 0},
        {"numeric string", Value::String("4"), 5},
        {"text", Value::String("four"), 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const Value answer = Call("DivideCurve", {line, c.count});
        if (c.points == 0) {
            EXPECT_EQ(answer, Value::Null());
        } else {
            ASSERT_TRUE(answer.IsArray());
            EXPECT_EQ(answer.Elements().size(), c.points);
        }
    }
}

TEST_F(ScriptApiTest, DivideCurveGivesEqualArcLengthPointsInOrder) {
    const Value line = Value::String(Add("line 0 0 0 12 0 0"));
    const Value points = Call("DivideCurve", {line, Value::Double(3)});
    ASSERT_EQ(points.Elements().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const Vec3 p = AsVec(points.Elements()[i]);
        EXPECT_NEAR(p.x, 4.0 * static_cast<double>(i), 1e-12);
    }
    // A polyline with unequal pieces: arc length, not the vertex parameter, is divided.
    const Value polyline = Value::String(Add("polyline 0 0 0 2 0 0 2 8 0"));
    const Value five = Call("DivideCurve", {polyline, Value::Double(5)});
    ASSERT_EQ(five.Elements().size(), 6u);
    EXPECT_NEAR(Distance(AsVec(five.Elements()[1]), {2, 0, 0}), 0.0, 1e-12);
    EXPECT_NEAR(Distance(AsVec(five.Elements()[3]), {2, 4, 0}), 0.0, 1e-12);
    // A closed polyline gives as many points as segments.
    const Value square = Value::String(Add("polyline 0 0 0 1 0 0 1 1 0 0 1 0 0 0 0"));
    EXPECT_EQ(Call("DivideCurve", {square, Value::Double(4)}).Elements().size(), 4u);
    // Not a curve, or an unknown id.
    EXPECT_EQ(Call("DivideCurve", {Value::String(Add("point 0 0 0")), Value::Double(2)}), Value::Null());
    EXPECT_EQ(Call("DivideCurve", {Value::String("x"), Value::Double(2)}), Value::Null());
}

TEST_F(ScriptApiTest, DivideInterpolatedCurveByArcLength) {
    const Value curve = Value::String(Add("curve 0 0 0 5 5 0 10 0 0 20 3 0"));
    const Value points = Call("DivideCurve", {curve, Value::Double(8)});
    ASSERT_EQ(points.Elements().size(), 9u);
    EXPECT_NEAR(Distance(AsVec(points.Elements()[0]), {0, 0, 0}), 0.0, 1e-12);
    EXPECT_NEAR(Distance(AsVec(points.Elements()[8]), {20, 3, 0}), 0.0, 1e-12);
    // Asked for parameters instead of points, the division gives the places of equal arc
    // length; measure each arc by fine chords.
    const Value parameters = Call("DivideCurve", {curve, Value::Double(8), Value::Bool(false), Value::Bool(false)});
    ASSERT_EQ(parameters.Elements().size(), 9u);
    const Curve& shape = *api.Doc().Find(curve.AsString())->curve;
    std::vector<double> arcs;
    for (std::size_t i = 1; i < 9; ++i) {
        const double from = parameters.Elements()[i - 1].AsDouble();
        const double to = parameters.Elements()[i].AsDouble();
        double arc = 0.0;
        for (int k = 0; k < 2000; ++k) {
            arc += Distance(shape.PointAt(from + (to - from) * k / 2000),
                            shape.PointAt(from + (to - from) * (k + 1) / 2000));
        }
        arcs.push_back(arc);
    }
    for (const double arc : arcs) {
        EXPECT_NEAR(arc, shape.Length() / 8, 1e-6);
    }
    EXPECT_EQ(api.Doc().Count(), 1u);
}

TEST_F(ScriptApiTest, DivideCurveCanAddThePoints) {
    const Value line = Value::String(Add("line 0 0 0 4 0 0"));
    Call("DivideCurve", {line, Value::Double(4), Value::Bool(true)});
    const Value all = Call("AllObjects");
    ASSERT_EQ(all.Elements().size(), 6u);
    EXPECT_EQ(Call("PointCoordinates", {all.Elements()[3]}), Pt(2, 0, 0));
}

TEST_F(ScriptApiTest, PlanarityAndInPlaneTests) {
    static const struct {
        const char* name;
        const char* scene;
        Value planar;
        Value inXy;
        Value inYz;
        double tolerance = Document::kAbsoluteTolerance;
    } kCases[] = {
        {"XY line", "line -20 0 0 -20 30 0", Value::Bool(true), Value::Bool(true), Value::Bool(false)},
        {"XY curve", "curve -25 0 0 -20 10 0 -25 20 0", Value::Bool(true), Value::Bool(true), Value::Bool(false)},
        {"YZ curve", "curve 0 0 0 0 10 30 0 20 0", Value::Bool(true), Value::Bool(false), Value::Bool(true)},
        {"YZ polyline", "polyline 0 0 5 0 10 30 0 20 5", Value::Bool(true), Value::Bool(false), Value::Bool(true)},
        {"within tolerance of XY", "polyline 0 0 0 10 0 0.009 10 10 -0.009", Value::Bool(true), Value::Bool(true),
         Value::Bool(false)},
        {"just off XY", "polyline 0 0 0 10 0 0.011 10 10 0", Value::Bool(true), Value::Bool(false), Value::Bool(false)},
        {"within 0.01 of XY, off it at tolerance 0.001", "polyline 0 0 0 10 0 0.009 10 10 -0.009", Value::Bool(true),
         Value::Bool(false), Value::Bool(false), 0.001},
        {"almost planar within 0.01", "polyline 0 0 0 10 0 0 10 10 0.004 0 10 0", Value::Bool(true), Value::Bool(true),
         Value::Bool(false)},
        {"almost planar, not within 0.001", "polyline 0 0 0 10 0 0 10 10 0.004 0 10 0", Value::Bool(false),
         Value::Bool(false), Value::Bool(false), 0.001},
        {"within tolerance 0.001 of XY", "polyline 0 0 0 10 0 0.0009 10 10 -0.0009", Value::Bool(true),
         Value::Bool(true), Value::Bool(false), 0.001},
        {"tilted plane", "curve 0 0 0 10 0 10 10 10 10 0 10 0", Value::Bool(true), Value::Bool(false),
         Value::Bool(false)},
        {"nonplanar", "curve 0 0 0 10 0 0 10 10 5 0 10 0", Value::Bool(false), Value::Bool(false), Value::Bool(false)},
        {"point object", "point 0 0 0", Value::Null(), Value::Null(), Value::Null()},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        api.Doc().SetTolerance(c.tolerance);
        const Value id = Value::String(Add(c.scene));
        EXPECT_EQ(Call("IsCurvePlanar", {id}), c.planar);
        EXPECT_EQ(Call("IsCurveInPlane", {id, XyPlane()}), c.inXy);
        EXPECT_EQ(Call("IsCurveInPlane", {id, YzPlane()}), c.inYz);
    }
}

TEST_F(ScriptApiTest, InPlaneUsesOriginAndFirstTwoAxesOnly) {
    const Value id = Value::String(Add("line 0 0 7 5 5 7"));
    const auto plane = [](Value fourth) {
        return Value::Array({Pt(0, 0, 7), Pt(1, 0, 0), Pt(0, 1, 0), std::move(fourth)});
    };
    EXPECT_EQ(Call("IsCurveInPlane", {id, plane(Pt(0, 0, 0))}), Value::Bool(true));
    EXPECT_EQ(Call("IsCurveInPlane", {id, plane(Pt(1, 0, 0))}), Value::Bool(true));
    EXPECT_EQ(Call("IsCurveInPlane", {id, XyPlane()}), Value::Bool(false));
    // Without a plane the construction plane, world XY, is used.
    EXPECT_EQ(Call("IsCurveInPlane", {id}), Value::Bool(false));
    // Axes that span no plane, or a plane that is not an array of points.
    const Value parallel = Value::Array({Pt(0, 0, 0), Pt(1, 0, 0), Pt(2, 0, 0), Pt(0, 0, 1)});
    EXPECT_EQ(Call("IsCurveInPlane", {id, parallel}), Value::Null());
    EXPECT_EQ(Call("IsCurveInPlane", {id, Pt(0, 0, 1)}), Value::Null());
}

TEST_F(ScriptApiTest, CurveCurveIntersectionAnswersATwoDimensionalArray) {
    const Value probe =
        Call("AddLine", {Pt(0, 10, 0), Value::Array({Value::Int16(-5000), Value::Double(10), Value::Double(0)})});
    const Value curve = Value::String(Add("curve -25 0 0 -20 10 0 -25 20 0"));
    const Value hits = Call("CurveCurveIntersection", {probe, curve});
    ASSERT_TRUE(hits.IsArray());
    ASSERT_EQ(hits.Dimensions(), 2u);
    EXPECT_EQ(hits.Bounds()[0], (ArrayBound{0, 1}));
    EXPECT_EQ(hits.Bounds()[1], (ArrayBound{0, 9}));
    EXPECT_EQ(hits.At({0, 0}).Number(), 1.0);
    const Vec3 onProbe = AsVec(hits.At({0, 1}));
    EXPECT_NEAR(onProbe.x, -20, 1e-9);
    EXPECT_NEAR(onProbe.y, 10, 1e-9);
    EXPECT_EQ(hits.At({0, 1}), hits.At({0, 2}));
    EXPECT_EQ(hits.At({0, 3}), hits.At({0, 4}));
    EXPECT_NEAR(hits.At({0, 5}).AsDouble(), 20.0, 1e-9);
    EXPECT_EQ(hits.At({0, 5}), hits.At({0, 6}));

    const Value far = Value::String(Add("line 10 0 0 10 30 0"));
    EXPECT_EQ(Call("CurveCurveIntersection", {probe, far}), Value::Null());
    EXPECT_EQ(Call("CurveCurveIntersection", {probe, Value::String("")}), Value::Null());
    EXPECT_EQ(Call("CurveCurveIntersection", {probe, Value::String(Add("point -20 10 0"))}), Value::Null());
}

TEST_F(ScriptApiTest, CurvesMeetWithinTheDocumentTolerance) {
    // Skew lines 0.005 apart: within the default 0.01, apart at 0.001.
    const Value a = Value::String(Add("line -10 0 0 10 0 0"));
    const Value b = Value::String(Add("line 0 -10 0.005 0 10 0.005"));
    EXPECT_TRUE(Call("CurveCurveIntersection", {a, b}).IsArray());
    api.Doc().SetTolerance(0.001);
    EXPECT_EQ(Call("CurveCurveIntersection", {a, b}), Value::Null());
}

TEST_F(ScriptApiTest, OverlapRowHasTypeTwo) {
    const Value a = Value::String(Add("line 0 0 0 10 0 0"));
    const Value b = Value::String(Add("line 5 0 0 15 0 0"));
    const Value hits = Call("CurveCurveIntersection", {a, b});
    ASSERT_TRUE(hits.IsArray());
    EXPECT_EQ(hits.Bounds()[0].count, 1u);
    EXPECT_EQ(hits.At({0, 0}).Number(), 2.0);
    EXPECT_EQ(hits.At({0, 1}), Pt(5, 0, 0));
    EXPECT_EQ(hits.At({0, 2}), Pt(10, 0, 0));
}

TEST_F(ScriptApiTest, CommandAddsAnInterpolatedCurve) {
    const std::string text = "-InterpCrv -20,10,0 -25,10,15 -4.9737991503207E-14,10,30 Enter";
    EXPECT_EQ(Call("Command", {Value::String(text), Value::Int16(0)}), Value::Bool(true));
    const Value all = Call("AllObjects");
    ASSERT_TRUE(all.IsArray());
    ASSERT_EQ(all.Elements().size(), 1u);
    const DocObject* object = api.Doc().Find(all.Elements()[0].AsString());
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->kind, ObjectKind::Curve);
    EXPECT_EQ(object->curve->GetShape(), Curve::Shape::Interpolated);
    EXPECT_EQ(object->curve->Points().size(), 3u);
    EXPECT_EQ(api.LastCommandPoints().size(), 3u);
    EXPECT_EQ(api.LastCommandPoints()[2].x, -4.9737991503207e-14);

    // LastCreatedObjects names the curve, selecting it when asked, until it is deleted.
    EXPECT_EQ(Call("LastCreatedObjects"), all);
    EXPECT_EQ(Call("SelectedObjects"), Value::Null());
    EXPECT_EQ(Call("LastCreatedObjects", {Value::Bool(true)}), all);
    EXPECT_EQ(Call("SelectedObjects"), all);
    EXPECT_EQ(Call("LastCreatedObjects", {Value::String("maybe")}), Value::Null());
    Call("DeleteObject", {all.Elements()[0]});
    EXPECT_EQ(Call("LastCreatedObjects"), Value::Null());
    // No command of the user's runs; the argument is a boolean.
    EXPECT_EQ(Call("InCommand"), Value::Int32(0));
    EXPECT_EQ(Call("InCommand", {Value::Bool(false)}), Value::Int32(0));
    EXPECT_EQ(Call("InCommand", {Value::String("yes")}), Value::Null());
}

// The command line reads "x,y,z" in the active viewport's construction plane and "wx,y,z" in
// world coordinates; outside English it knows names and keywords only behind "_". Command
// answers true only for a drawn curve, and LastCommandResult gives the code.
TEST_F(ScriptApiTest, CommandReadsTheActivePlaneAndTheLanguage) {
    static const struct {
        const char* name;
        ViewKind view;
        const char* language;
        const char* text;
        int code;                    // LastCommandResult; 0: a curve is drawn
        Vec3 first;                  // its first point, in world coordinates
        const char* note = nullptr;  // the command line's "Unknown command" line
    } kCases[] = {
        {"Top: the world XY plane", ViewKind::Top, "en", "-_InterpCrv 1,2,3 4,5,6 _Enter", 0, {1, 2, 3}},
        {"Front: x along X, y along Z, z towards -Y",
         ViewKind::Front,
         "en",
         "-_InterpCrv 1,2,3 4,5,6 _Enter",
         0,
         {1, -3, 2}},
        {"Right: x along Y, y along Z, z along X",
         ViewKind::Right,
         "en",
         "-_InterpCrv 1,2,3 4,5,6 _Enter",
         0,
         {3, 1, 2}},
        {"Perspective: the Top plane", ViewKind::Perspective, "en", "-_InterpCrv 1,2,3 4,5,6 _Enter", 0, {1, 2, 3}},
        {"w: world whatever the view", ViewKind::Right, "en", "-_InterpCrv w1,2,3 W4,5,6 _Enter", 0, {1, 2, 3}},
        {"x,y: z = 0 in the plane", ViewKind::Right, "en", "-_InterpCrv 1,2 4,5 _Enter", 0, {0, 1, 2}},
        {"wx,y: world z = 0", ViewKind::Front, "en", "-_InterpCrv w1,2 w4,5 _Enter", 0, {1, 2, 0}},
        {"English knows bare names", ViewKind::Top, "en", "-InterpCrv 1,2,3 4,5,6 Enter", 0, {1, 2, 3}},
        {"a region of English too", ViewKind::Top, "en-GB", "interpcrv 1,2,3 4,5,6 enter", 0, {1, 2, 3}},
        {"German knows _ names", ViewKind::Top, "de", "_-InterpCrv w1,2,3 w4,5,6 _Enter", 0, {1, 2, 3}},
        {"German: a bare name is unknown",
         ViewKind::Top,
         "de",
         "-InterpCrv w1,2,3 w4,5,6 _Enter",
         4,
         {},
         "Unknown command: -InterpCrv"},
        {"Japanese: a bare keyword is unknown",
         ViewKind::Top,
         "ja",
         "-_InterpCrv w1,2,3 w4,5,6 Enter",
         1,
         {},
         "Unknown command: Enter"},
        {"no point", ViewKind::Top, "en", "-_InterpCrv _Enter", 3, {}},
        {"one point", ViewKind::Top, "en", "-_InterpCrv 1,2,3 _Enter", 3, {}},
        {"two equal points", ViewKind::Top, "de", "-_InterpCrv w1,2,3 w1,2,3 _Enter", 3, {}},
        {"another command", ViewKind::Top, "en", "-_Line 0,0,0 1,1,1 _Enter", 4, {}, "Unknown command: -_Line"},
        {"a word that is no point",
         ViewKind::Top,
         "en",
         "-_InterpCrv 1,2,3 4,x,6 _Enter",
         1,
         {},
         "Unknown command: 4,x,6"},
        {"no Enter", ViewKind::Top, "en", "-_InterpCrv 1,2,3 4,5,6", 1, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ScriptApi host;
        host.SetActiveView(c.view);
        host.SetLanguage(c.language);
        EXPECT_EQ(host.Call("Command", {Value::String(c.text), Value::Int16(0)}), Value::Bool(c.code == 0));
        EXPECT_EQ(host.Call("LastCommandResult", {}), Value::Int32(c.code));
        EXPECT_EQ(host.LastCommandNote(), c.note ? c.note : "");
        ASSERT_EQ(host.Doc().Count(), c.code == 0 ? 1u : 0u);
        EXPECT_EQ(host.Call("LastCreatedObjects", {}), c.code == 0 ? host.Call("AllObjects", {}) : Value::Null());
        if (c.code == 0) {
            const DocObject* curve = host.Doc().Find(host.Doc().AllIds().front());
            ASSERT_NE(curve, nullptr);
            EXPECT_NEAR(Distance(curve->curve->Points().front(), c.first), 0.0, 1e-12);
        }
    }
}

TEST_F(ScriptApiTest, WindowHandleAnswersTheServersNumber) {
    EXPECT_EQ(Call("WindowHandle"), Value::Int32(0));
    api.SetWindowHandle(0x10042);
    EXPECT_EQ(Call("WindowHandle"), Value::Int32(0x10042));
}

TEST_F(ScriptApiTest, CallLogRecordsEveryCallWithArgumentKinds) {
    Call("EnableRedraw", {Value::Bool(false)});
    Call("AddLine", {Pt(1, 2, 0), Value::Array({Value::Int16(-5000), Value::Double(2), Value::Double(0)})});
    EXPECT_THROW(Call("Nonsense", {Value::String("x")}), ScriptError);
    EXPECT_EQ(api.Log().Text(),
              "EnableRedraw(Bool false)\n"
              "AddLine(Array[0:3]{Double 1; Double 2; Double 0}, Array[0:3]{Int16 -5000; Double 2; Double 0})\n"
              "Nonsense(String \"x\")\n");
    EXPECT_EQ(api.Log().CountOf("addline"), 1u);
}

}  // namespace
}  // namespace hostsim

namespace hostsim {
namespace {

// The calls of one generation step as the tool makes them: two probes from a base point on the
// Y axis, their hits on the XY and the YZ curve, the command text, and the probes deleted.
TEST(ScriptApiScenarioTest, ProbesFindTheCurvesAndTheCommandDrawsTheArch) {
    ScriptApi api(11);
    const Value xyCurve = Value::String(api.Control("add curve -25 0 0 -20 10 0 -25 20 0"));
    const Value yzCurve = Value::String(api.Control("add curve 0 0 0 0 10 30 0 20 0"));
    const Value base = Value::String(api.Control("add point 0 10 0"));
    EXPECT_EQ(api.Call("IsPoint", {base}), Value::Bool(true));
    const Value p = api.Call("PointCoordinates", {base});
    const double y = p.Elements()[1].AsDouble();
    const Value xProbe =
        api.Call("AddLine", {p, Value::Array({Value::Int16(-5000), Value::Double(y), Value::Double(0)})});
    const Value zProbe =
        api.Call("AddLine", {p, Value::Array({Value::Double(0), Value::Double(y), Value::Int16(5000)})});
    const Value hitsXy = api.Call("CurveCurveIntersection", {xProbe, xyCurve});
    const Value hitsYz = api.Call("CurveCurveIntersection", {zProbe, yzCurve});
    ASSERT_TRUE(hitsXy.IsArray());
    ASSERT_TRUE(hitsYz.IsArray());
    EXPECT_NEAR(Distance(AsVec(hitsXy.At({0, 1})), {-20, 10, 0}), 0.0, 1e-9);
    EXPECT_NEAR(Distance(AsVec(hitsYz.At({0, 1})), {0, 10, 30}), 0.0, 1e-9);
    EXPECT_EQ(api.Call("Command", {Value::String("-InterpCrv -20,10,0 -25,10,15 -4.9737991503207E-14,10,30 Enter"),
                                   Value::Int16(0)}),
              Value::Bool(true));
    EXPECT_EQ(api.Call("DeleteObject", {xProbe}), Value::Bool(true));
    EXPECT_EQ(api.Call("DeleteObject", {zProbe}), Value::Bool(true));
    // Two curves, the point, and the new arch remain.
    EXPECT_EQ(api.Call("AllObjects", {}).Elements().size(), 4u);
}

}  // namespace
}  // namespace hostsim
