#include "ScriptTestSupport.h"

#include "engine/scripting/GilGuard.h"

namespace {

// Evaluates an expression (or runs statements when exec is set) in __main__.
VTPythonObject Py(const char* code, bool exec = false)
{
    GilGuard gil;
    PyObject* dict = PyModule_GetDict(PyImport_AddModule("__main__"));
    PyObject* r = PyRun_String(code, exec ? Py_file_input : Py_eval_input, dict, dict);
    if (!r) {
        PyErr_Print();
        ADD_FAILURE() << "script failed: " << code;
    }
    VTPythonObject value(r);
    Py_XDECREF(r);
    return value;
}

class PythonObjectTest : public ScriptFixture {
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        StartHost();
    }
};

TEST_F(PythonObjectTest, ClassificationAndConversions)
{
    Py("class CallableList(list):\n    def __call__(self): return 1\n", true);
    struct Case { const char* expr; VTPythonObject::Kind kind; int asInt; };
    const Case cases[] = {
        {"2.9", VTPythonObject::kFloat, 2},
        {"-2.9", VTPythonObject::kFloat, -2},
        {"7", VTPythonObject::kInt, 7},
        {"True", VTPythonObject::kInt, 1},
        {"2**40", VTPythonObject::kOther, -10000},  // beyond 32 bits: not an integer to the engine
        {"b'x'", VTPythonObject::kString, -10000},
        {"'abc'", VTPythonObject::kUnicode, -10000},
        {"(1,)", VTPythonObject::kTuple, -10000},
        {"{}", VTPythonObject::kDict, -10000},
        {"[1]", VTPythonObject::kList, -10000},
        {"len", VTPythonObject::kCallable, -10000},
        {"__import__('sys')", VTPythonObject::kModule, -10000},
        {"None", VTPythonObject::kNone, -10000},
        {"CallableList()", VTPythonObject::kList, -10000}, // the list test runs last
        {"object()", VTPythonObject::kOther, -10000},
    };
    for (const auto& c : cases) {
        VTPythonObject v = Py(c.expr);
        EXPECT_EQ(v.GetKind(), c.kind) << c.expr;
        EXPECT_EQ(v.AsInt(), c.asInt) << c.expr;
    }
    EXPECT_NE(Py("None").GetObject(), nullptr);
    EXPECT_EQ(VTPythonObject(static_cast<PyObject*>(nullptr)).GetObject(), nullptr);
    EXPECT_FLOAT_EQ(Py("[1]").AsFloat(), -10000.0f);
}

TEST_F(PythonObjectTest, TextRoundTripsAnyBytes)
{
    const char bytes[] = "caf\xc3\xa9 \xff\xfe";
    VTPythonObject v(bytes);
    ASSERT_NE(v.AsString(), nullptr);
    EXPECT_STREQ(v.AsString(), bytes);
    EXPECT_EQ(std::wstring(Py("'h\\u00e9'").AsUnicode()), L"h\u00e9");
    EXPECT_EQ(std::wstring(Py("b'ab'").AsUnicode()), L"ab");
    EXPECT_STREQ(Py("'h\\u00e9'").AsString(), "h\xc3\xa9");
}

TEST_F(PythonObjectTest, PackColors)
{
    EXPECT_EQ(Py("[255, 0, 0, 128]").PackColorFromInts(), 0xFF000080u);
    EXPECT_EQ(Py("[255.9, 0, 0, 1]").PackColorFromInts(), 0xFF000001u);
    EXPECT_EQ(Py("[1.0, 0.5, 0.0, 1.0]").PackColorFromFloats(), 0xFF7F00FFu);
}

TEST_F(PythonObjectTest, ListItemsAndParse)
{
    VTPythonObject list = Py("[1, 2, 3]");
    VTPythonObject out(42);
    EXPECT_TRUE(list.GetListItem(2, out));
    EXPECT_EQ(out.AsInt(), 3);
    EXPECT_FALSE(list.GetListItem(3, out));
    EXPECT_EQ(out.AsInt(), 3) << "a failed read leaves the out value as it was";

    int a = 0, b = 0;
    EXPECT_FALSE(Py("(1,)").Parse("ii", {&a, &b})) << "more letters than items";
    double d = 0;
    EXPECT_TRUE(Py("3").Parse("f", {&d}));
    EXPECT_EQ(d, 3.0);
    std::string s;
    EXPECT_FALSE(Py("3").Parse("s", {&s}));
    std::wstring w;
    EXPECT_TRUE(Py("(2.7, 'x', u'y')").Parse("isu", {&a, &s, &w}));
    EXPECT_EQ(a, 2);
    EXPECT_EQ(s, "x");
    EXPECT_EQ(w, L"y");
}

TEST_F(PythonObjectTest, BuildTupleFillsUnsetPositionsWithNone)
{
    VTPythonObject t;
    t.BuildTuple("iX", {5});
    ASSERT_EQ(t.GetKind(), VTPythonObject::kTuple);
    VTPythonObject f = Py("lambda *a: repr(a)");
    VTPythonObject result;
    f.Call(result, &t);
    EXPECT_STREQ(result.AsString(), "(5, None)");
    t.BuildTuple("");
    f.Call(result, &t);
    EXPECT_STREQ(result.AsString(), "()");
}

TEST_F(PythonObjectTest, CallFailuresLeaveNoPendingError)
{
    VTPythonObject result;
    Py("7").Call(result, nullptr);
    EXPECT_EQ(result.GetKind(), VTPythonObject::kInt);
    EXPECT_EQ(result.AsInt(), 0);

    Py("def boom():\n    raise ValueError('nope')\n", true);
    Py("boom").Call(result, nullptr);
    EXPECT_EQ(result.GetKind(), VTPythonObject::kNone);
    EXPECT_EQ(result.GetObject(), nullptr);
    GilGuard gil;
    EXPECT_EQ(PyErr_Occurred(), nullptr);
}

TEST_F(PythonObjectTest, GetFunctionAndEngineObject)
{
    WriteScript("mod_a.py", "def f():\n    return 1\nvalue = 3\n");
    VTPythonObject* module = gExtPythonManager->ImportModule("mod_a");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(gExtPythonManager->GetFunction(nullptr, "f"), nullptr);
    EXPECT_EQ(gExtPythonManager->GetFunction(module, "missing"), nullptr);
    EXPECT_EQ(gExtPythonManager->GetFunction(module, "value"), nullptr);
    EXPECT_EQ(gExtPythonManager->ImportModule("no_such_module"), nullptr);

    VTPythonObject* f = gExtPythonManager->GetFunction(module, "f");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetName(), "f");
    EXPECT_EQ(module->RefCount(), 2) << "a fetched function holds its module";
    EXPECT_EQ(module->FunctionCount(), 1u);
    f->Release();
    EXPECT_EQ(module->RefCount(), 1);
    EXPECT_EQ(module->FunctionCount(), 0u);
    module->Release();

    VTPythonObject* engine = gExtPythonManager->GetEngineObject();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine, gExtPythonManager->GetEngineObject());
    EXPECT_EQ(EngineObjectHost(engine->GetObject()), gExtPythonManager);
}

TEST_F(PythonObjectTest, ReloadRebindsFetchedFunctions)
{
    WriteScript("mod_r.py", "def f():\n    return 1\ndef g():\n    return 2\n");
    VTPythonObject* module = gExtPythonManager->ImportModule("mod_r");
    ASSERT_NE(module, nullptr);
    VTPythonObject* f = gExtPythonManager->GetFunction(module, "f");
    VTPythonObject* g = gExtPythonManager->GetFunction(module, "g");
    // A reload runs in the old namespace: the new source removes g explicitly.
    WriteScript("mod_r.py", "def f():\n    return 10\ndel g\n");
    VTPythonObject notModule(1);
    EXPECT_FALSE(gExtPythonManager->ReloadModule(&notModule));
    gExtPythonManager->ReloadModule(module);
    VTPythonObject result;
    f->Call(result, nullptr);
    EXPECT_EQ(result.AsInt(), 10);
    EXPECT_EQ(g->GetKind(), VTPythonObject::kNone);
    EXPECT_NE(Output().find("Function not found\n"), std::string::npos);
    f->Release();
    g->Release();
    module->Release();
}

TEST_F(PythonObjectTest, ValuesReleasedAfterFinaliseDoNotTouchTheInterpreter)
{
    auto* value = new VTPythonObject(Py("[1, 2]"));
    VTPythonObject copy(*value);
    DestroyInterpreter();
    EXPECT_EQ(copy.AsInt(), -10000);
    value->Release();
    copy.Clear();
    VTPythonObject late(5);
    EXPECT_EQ(late.GetObject(), nullptr);
}

} // namespace
