#include <gtest/gtest.h>

#include "automation/script_text.h"
#include "automation/system_variables.h"

namespace orniva {

TEST(ScriptText, FirstWordAndArgumentText) {
  struct Case {
    const char* line;
    const char* word;
    const char* args;
  };
  const Case cases[] = {
      {":boucle", ":", ""},
      {"x:=5", "x", ""},
      {"camera.mode(1,frame)", "camera.mode", "1,frame"},
      {"  //comment", "//", ""},
      {"//(x)", "//", "x"},
      {"a/b/c", "a/b/", ""},
      {"  jump (fin)  ", "jump", "fin"},
      {"message.show(\"a)b\",c) tail", "message.show", "\"a)b\",c"},
      {"jumpif((a)=b,l)", "jumpif", "(a)=b,l"},
      {"wait(100", "wait", "100"},
      {"", "", ""},
      {"   ", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstWord(c.line), c.word) << c.line;
    EXPECT_EQ(ArgumentText(c.line), c.args) << c.line;
  }
}

TEST(ScriptText, FieldsDoNotCutInsideQuotes) {
  const std::string_view text = "a, \"b,c\" ,,d";
  EXPECT_EQ(FieldCount(text), 4);
  EXPECT_EQ(Field(text, 1), "a");
  EXPECT_EQ(Field(text, 2), " \"b,c\" ");
  EXPECT_EQ(Field(text, 3), "");
  EXPECT_EQ(Field(text, 4), "d");
  EXPECT_EQ(Field(text, 5), "");
  EXPECT_EQ(Field(text, 0), "");
  EXPECT_EQ(Field("Oui/Non", 2, '/'), "Non");
  EXPECT_EQ(FieldCount("Mise en route|/a/b.txt", '|'), 2);
  EXPECT_EQ(FieldCount(""), 1);
}

TEST(SystemVariables, DateTimeFormatsAndProviders) {
  LocalDateTime t{2026, 3, 7, 21, 30, 45, 7, 6};
  SystemVariables vars;
  EXPECT_EQ(vars.Value("%date", t), "20260307");
  EXPECT_EQ(vars.Value("%TIME", t), "213045007");
  EXPECT_EQ(vars.Value("%timeraw", t), "77445007");
  EXPECT_EQ(vars.Value("%hour", t), "21");
  EXPECT_EQ(vars.Value("%minute", t), "30");
  EXPECT_EQ(vars.Value("%second", t), "45");
  EXPECT_EQ(vars.Value("%year", t), "2026");
  EXPECT_EQ(vars.Value("%month", t), "03");
  EXPECT_EQ(vars.Value("%day", t), "07");
  // Day 1 is 1 January of year 1.
  EXPECT_EQ(vars.Value("%dateraw", LocalDateTime{1, 1, 1}), "1");
  EXPECT_EQ(vars.Value("%dateraw", LocalDateTime{2026, 1, 1}), "739617");
  EXPECT_EQ(vars.Value("%object_in_field", t), "0");
  EXPECT_EQ(vars.Value("%nothing", t), std::nullopt);
  vars.Set("%TrackX", [] { return std::string("412"); });
  EXPECT_EQ(vars.Value("%trackx", t), "412");
  EXPECT_EQ(vars.Value("%appdir", t)->back(), '/');
}

}  // namespace orniva
