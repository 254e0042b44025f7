#!/usr/bin/env python3
"""Writes the forms of the three generation input dialogs and their field table.

One table below names every input field once: its combo box, label, history
array, placeholder and word list. From it this script writes

  Forms/AutoGenInputDialog.ui                  story dialog (72 fields)
  Forms/AutoGenInputDialog4Advertisement.ui    advertisement dialog (27 fields)
  Forms/AutoGenInputDialog4AdvertisementSoft.ui advertorial dialog (35 fields)
  Sources/generation/AutoGenInputFieldTable.cpp the same fields for the program

Edit the table here and run the script again; never edit its output by hand.
"""

import os
from xml.sax.saxutils import escape

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# ---- The field table ----------------------------------------------------------------

class Field:
    def __init__(self, name, label, placeholder, word_list="", linked=False):
        self.name = name                # history array; the combo box is "comboBox" + name
        self.label = label
        self.placeholder = placeholder
        self.word_list = word_list
        self.linked = linked

    @property
    def combo(self):
        return "comboBox" + self.name


# Story dialog: five characters of eight rows each ...
PERSONS = [  # name, group title, tab, geometry, placeholder stem
    ("Man1", "男主人公", "tab", (10, 10, 191, 241), "MAN1"),
    ("Woman1", "女主人公", "tab", (210, 10, 181, 241), "WOMAN1"),
    ("Opponent1", "对手1", "tab_2", (10, 10, 181, 241), "OPPONENT1"),
    ("Opponent2", "对手2", "tab_2", (200, 10, 191, 241), "OPPONENT2"),
    ("Opponent3", "对手3", "tab_2", (400, 10, 191, 241), "OPPONENT3"),
]
PERSON_ROWS = [  # field, label, word list, placeholder part
    ("Name", "人名", "", None),
    ("Occupation", "职业", "职业.txt", "OCCUPATION"),
    ("Character", "特长", "特长.txt", "CHARACTER"),
    ("Defect", "弱点", "弱点.txt", "DEFECT"),
    ("Habit", "习惯", "习惯.txt", "HABIT"),
    ("Behavior", "目标", "目标.txt", "BEHAVIOR"),
    ("Props", "道具", "道具.txt", "PROPS"),
    ("Weapon", "兵器", "兵器.txt", "WEAPON"),
]
# ... and eight groups of four, listed in the order the generator fills them.
STORY_GROUPS = [  # field stem, title, tab, geometry, word list, placeholder of row n
    ("MaleSupportRole", "男配角", "tab", (400, 9, 191, 121), "", "__MALE_SUPPORT_ROLE{n}_NAME__"),
    ("FemaleSupportRole", "女配角", "tab", (400, 130, 191, 121), "", "__FEMALE_SUPPORT_ROLE{n}_NAME__"),
    ("Region", "地区", "tab_3", (200, 130, 181, 131), "地区.txt", "__REGION{n}_NAME__"),
    ("Scene", "场景", "tab_3", (10, 10, 181, 121), "场景.txt", "__SCENE{n}_NAME__"),
    ("Industry", "行业", "tab_3", (10, 130, 181, 131), "行业.txt", "__INDUSTRY{n}_NAME__"),
    ("Animal", "动物", "tab_3", (200, 10, 181, 121), "动物.txt", "__ANIMAL{n}_NAME__"),
    ("Vehicle", "交通工具", "tab_3", (390, 10, 191, 121), "交通工具.txt", "__VEHICLE{n}_NAME__"),
    ("CommunicationTool", "通讯工具", "tab_3", (390, 130, 191, 131), "通讯工具.txt",
     "__COMMUNICATION{n}_TOOL_NAME__"),
]
NEWS_ROWS = [  # label, combo box (no history, no list, not read by the generator)
    ("新闻标题", "comboBoxMan1Weapon_2"), ("新闻事件", "comboBoxMan1Name_2"),
    ("新闻地点", "comboBoxMan1Occupation_2"), ("新闻时间", "comboBoxMan1Character_2"),
    ("新闻人物", "comboBoxMan1Defect_2"), ("新闻根源", "comboBoxMan1Habit_2"),
    ("人物发言", "comboBoxMan1Behavior_2"), ("网友反应", "comboBoxMan1Props_2"),
]


def story_person_fields(person):
    name, _, _, _, stem = person
    fields = []
    for field, label, word_list, part in PERSON_ROWS:
        placeholder = f"__{stem}_NAME__" if part is None else f"__{stem}_{part}1_NAME__"
        fields.append(Field(name + field, label, placeholder, word_list))
    return fields


def story_group_fields(group):
    stem, title, _, _, word_list, placeholder = group
    return [Field(f"{stem}{n}", f"{title}{n}", placeholder.format(n=n), word_list) for n in range(1, 5)]


STORY_FIELDS = [f for p in PERSONS for f in story_person_fields(p)] + \
               [f for g in STORY_GROUPS for f in story_group_fields(g)]

# Advertisement dialog.
URL = Field("Url", "网址", "__ADVERTISEMENT_URL__", "网址.txt")
PRODUCT = [
    Field("ProductName", "产品名", "__PRODUCT_NAME__", "产品名.txt", True),
    Field("BrandName", "品牌名", "__BRAND_NAME__", "品牌名.txt", True),
    Field("ManufactureName", "生产商", "__MANUFACTURE_NAME__", "生产商.txt", True),
    Field("DistributorName", "销售商", "__DISTRIBUTOR_NAME__", "销售商.txt"),
    Field("Price", "价格", "__PRICE_VALUE__", "价格.txt"),
    Field("MeritName", "产品优点", "__MERIT_NAME__", "产品优点.txt"),
    Field("Property", "产品性能", "__PROPERTY_NAME__", "产品属性.txt"),
    Field("Theory", "产品原理", "__THEORY_NAME__", "产品原理.txt"),
    Field("Material", "材料", "__MATERIAL_NAME__", "材料.txt"),
    Field("Process", "工艺", "__PROCESS_NAME__", "工艺.txt"),
]
CAMPAIGN = [
    Field("Media", "媒体", "__MEDIA_NAME__", "媒体.txt"),
    Field("Expert", "专家", "__EXPERT_NAME__", "专家.txt"),
    Field("Administrator", "机构", "__ADMINISTRATOR_NAME__", "机构.txt"),
    Field("Prize", "荣誉", "__PRIZE_NAME__", "荣誉.txt"),
    Field("AdaptName", "适应症状", "__ADAPT_NAME__", "适应症状.txt"),
    Field("AdaptPeopleName", "适应人群", "__ADAPT_PEOPLE_NAME__", "适应人群.txt"),
    Field("Time", "时间", "__TIME_VALUE__", "时间.txt"),
    Field("SalePlaceName", "销售地", "__SALE_PLACE_NAME__", "销售地.txt", True),
    Field("MadePlaceName", "原产地", "__MADE_PLACE_NAME__", "原产地.txt"),
]
KEYWORDS = [Field(f"Keyword{n}", f"关键词{n}", f"__KEYWORD{n}_NAME__", "关键词.txt", True) for n in range(1, 5)]
CUSTOMERS = [Field(f"Customer{n}Name", f"顾客{n}姓名", f"__CUSTOMER{n}_NAME__", "顾客姓名.txt") for n in range(1, 4)]

# The order in which the generator fills the advertisement placeholders.
AD_ORDER = ["ProductName", "BrandName", "ManufactureName", "DistributorName", "Price", "Media",
            "Administrator", "Expert", "Prize", "AdaptName", "AdaptPeopleName", "Time", "SalePlaceName",
            "MadePlaceName", "MeritName", "Property", "Theory", "Material", "Process",
            "Keyword1", "Keyword2", "Keyword3", "Keyword4", "Customer1Name", "Customer2Name", "Customer3Name"]
_by_name = {f.name: f for f in PRODUCT + CAMPAIGN + KEYWORDS + CUSTOMERS}
AD_SHARED = [_by_name[n] for n in AD_ORDER]
AD_FIELDS = [URL] + AD_SHARED

# Advertorial dialog: its own group, then the advertisement's fields.
HEROES = [
    Field("Man1", "男主人公", "__MAN1_NAME__", "男主人公.txt"),
    Field("Man1Occupation", "男主人公职业", "__MAN1_OCCUPATION__", "男主人公职业.txt"),
    Field("Man1Age", "男主人公年龄", "__MAN1_AGE__", "年龄.txt"),
    Field("Woman1", "女主人公", "__WOMAN1_NAME__", "女主人公.txt"),
    Field("Woman1Occupation", "女主人公职业", "__WOMAN1_OCCUPATION__", "女主人公职业.txt"),
    Field("Woman1Age", "女主人公年龄", "__WOMAN1_AGE__", "年龄.txt"),
    Field("Scene1", "场景1", "__SCENE1_NAME__", "场景.txt"),
    Field("Scene2", "场景2", "__SCENE2_NAME__", "场景.txt"),
]
SOFT_FIELDS = [URL] + HEROES + AD_SHARED

# ---- Form writing -----------------------------------------------------------------------

STORY_NOTE = ("<font color='red'><h2 >说明</h2>\n<p>1、生成结果，与你的填写有直接关系，请尽可能在认真思考后填写；</p>\n"
              "<p>2、个别不需要的项目可以不填；</p>\n<p>3、生成文字不可直接发表，请按照需要认真修改。</p></font>")
AD_NOTE = ("<font color='red'><h3>说明</h3><p>1、生成结果，与你的填写有直接关系，请尽可能在认真思考后填写；</p>"
           "<p>2、生成文字不可直接发表，请按照需要认真修改。</p></font>")


class Writer:
    def __init__(self):
        self.lines = []
        self.depth = 0

    def line(self, text):
        self.lines.append("  " * self.depth + text)

    def open(self, text):
        self.line(text)
        self.depth += 1

    def close(self, text):
        self.depth -= 1
        self.line(text)

    def prop(self, name, kind, value):
        self.line(f'<property name="{name}"><{kind}>{value}</{kind}></property>')

    def string(self, name, value, notr=False):
        attr = ' notr="true"' if notr else ""
        self.line(f'<property name="{name}"><string{attr}>{escape(value)}</string></property>')

    def rect(self, geometry, name="geometry"):
        x, y, w, h = geometry
        self.line(f'<property name="{name}"><rect><x>{x}</x><y>{y}</y>'
                  f'<width>{w}</width><height>{h}</height></rect></property>')

    def text(self):
        return "\n".join(self.lines) + "\n"


def combo(w, name):
    w.open(f'<widget class="QComboBox" name="{name}">')
    w.prop("editable", "bool", "true")
    # The boxes hold long word lists: size them by a few characters, not by their items.
    w.prop("sizeAdjustPolicy", "enum", "QComboBox::AdjustToMinimumContentsLengthWithIcon")
    w.prop("minimumContentsLength", "number", "4")
    w.close("</widget>")


def label(w, name, text, extra=None):
    w.open(f'<widget class="QLabel" name="{name}">')
    w.string("text", text)
    if extra:
        extra(w)
    w.close("</widget>")


def group(w, name, title, geometry, rows, form):
    """A group box of labelled combo boxes, one (label, combo box) row each: a form
    layout without margins (story dialog) or a grid (advertisement dialogs)."""
    w.open(f'<widget class="QGroupBox" name="{name}">')
    w.rect(geometry)
    w.string("title", title)
    suffix = name[len("groupBox"):]
    if form:
        w.open(f'<layout class="QFormLayout" name="formLayout{suffix}">')
        w.prop("fieldGrowthPolicy", "enum", "QFormLayout::AllNonFixedFieldsGrow")
        for side in ("leftMargin", "topMargin", "rightMargin", "bottomMargin"):
            w.prop(side, "number", "0")
    else:
        w.open(f'<layout class="QGridLayout" name="gridLayout{suffix}" columnstretch="0,1">')
    w.prop("verticalSpacing", "number", "2")
    for row, (text, combo_name) in enumerate(rows):
        w.open(f'<item row="{row}" column="0">')
        label(w, "label" + combo_name[len("comboBox"):], text)
        w.close("</item>")
        w.open(f'<item row="{row}" column="1">')
        combo(w, combo_name)
        w.close("</item>")
    w.close("</layout>")
    w.close("</widget>")


def form_group(w, name, title, geometry, rows):
    group(w, name, title, geometry, rows, form=True)


def grid_group(w, name, title, geometry, fields):
    group(w, name, title, geometry, [(f.label, f.combo) for f in fields], form=False)


def text_edit(w, name, geometry=None):
    w.open(f'<widget class="QTextEdit" name="{name}">')
    if geometry:
        w.rect(geometry)
    else:
        w.line('<property name="maximumSize"><size><width>16777215</width><height>27</height></size></property>')
    w.prop("verticalScrollBarPolicy", "enum", "Qt::ScrollBarAlwaysOff")
    w.prop("horizontalScrollBarPolicy", "enum", "Qt::ScrollBarAlwaysOff")
    w.prop("acceptRichText", "bool", "false")
    w.prop("tabChangesFocus", "bool", "true")
    w.close("</widget>")


def spin_box(w, geometry=None):
    w.open('<widget class="QSpinBox" name="spinBoxGenCount">')
    if geometry:
        w.rect(geometry)
    w.prop("minimum", "number", "10")
    w.prop("maximum", "number", "30")
    w.prop("value", "number", "10")
    w.close("</widget>")


def note(w, geometry, text):
    def rich(w):
        w.prop("textFormat", "enum", "Qt::RichText")
        w.prop("wordWrap", "bool", "true")
        w.prop("alignment", "set", "Qt::AlignLeading|Qt::AlignLeft|Qt::AlignTop")
    w.open('<widget class="QLabel" name="label">')
    w.rect(geometry)
    w.string("text", text)
    rich(w)
    w.close("</widget>")


def button_box(w, geometry, vertical):
    w.open('<widget class="QDialogButtonBox" name="buttonBox">')
    w.rect(geometry)
    w.prop("orientation", "enum", "Qt::Vertical" if vertical else "Qt::Horizontal")
    w.prop("standardButtons", "set", "QDialogButtonBox::Cancel|QDialogButtonBox::Ok|QDialogButtonBox::Reset")
    w.close("</widget>")


def header(w, cls, size, title):
    w.line('<?xml version="1.0" encoding="UTF-8"?>')
    w.open('<ui version="4.0">')
    w.line(f"<class>{cls}</class>")
    w.open(f'<widget class="QDialog" name="{cls}">')
    w.rect((0, 0) + size)
    w.string("windowTitle", title)


def footer(w, tab_order=None):
    w.close("</widget>")
    if tab_order:
        w.open("<tabstops>")
        for name in tab_order:
            w.line(f"<tabstop>{name}</tabstop>")
        w.close("</tabstops>")
    w.open("<connections>")
    for signal, slot in (("accepted()", "accept()"), ("rejected()", "reject()")):
        w.open("<connection>")
        w.line(f"<sender>buttonBox</sender><signal>{signal}</signal>")
        w.line(f"<receiver>{w.dialog}</receiver><slot>{slot}</slot>")
        w.close("</connection>")
    w.close("</connections>")
    w.close("</ui>")


def story_form():
    w = Writer()
    w.dialog = "AutoGenInputDialog"
    header(w, w.dialog, (618, 461), "自动生成")
    w.open('<widget class="QStackedWidget" name="stackedWidget">')
    w.rect((10, 10, 601, 291))
    w.prop("currentIndex", "number", "0")
    w.open('<widget class="QWidget" name="pageNovel">')
    w.open('<widget class="QTabWidget" name="tabWidget">')
    w.rect((0, 0, 601, 291))
    w.prop("currentIndex", "number", "0")
    tabs = [("tab", "主配角信息"), ("tab_2", "对手信息"), ("tab_3", "其他信息")]
    for tab, tab_title in tabs:
        w.open(f'<widget class="QWidget" name="{tab}">')
        w.open('<attribute name="title">')
        w.line(f"<string>{tab_title}</string>")
        w.close("</attribute>")
        for person in PERSONS:
            if person[2] == tab:
                rows = [(f.label, f.combo) for f in story_person_fields(person)]
                form_group(w, "groupBox" + person[0], person[1], person[3], rows)
        for group in sorted(STORY_GROUPS, key=lambda g: (g[3][0], g[3][1])):
            if group[2] == tab:
                rows = [(f.label, f.combo) for f in story_group_fields(group)]
                form_group(w, "groupBox" + group[0], group[1], group[3], rows)
        w.close("</widget>")
    w.close("</widget>")
    w.close("</widget>")
    w.open('<widget class="QWidget" name="pageNews">')
    form_group(w, "groupBoxMan1_2", "新闻主要信息", (20, 20, 541, 261), NEWS_ROWS)
    w.close("</widget>")
    w.close("</widget>")
    w.open('<widget class="QFrame" name="frameAutoGenBatch">')
    w.rect((10, 306, 462, 40))
    w.prop("frameShape", "enum", "QFrame::NoFrame")
    w.prop("frameShadow", "enum", "QFrame::Raised")
    w.prop("lineWidth", "number", "1")
    label(w, "label_3", "路径", lambda w: w.rect((4, 9, 31, 16)))
    text_edit(w, "textEditDir", (37, 5, 241, 27))
    label(w, "label_2", "文件名", lambda w: w.rect((290, 12, 69, 16)))
    text_edit(w, "textEditName", (363, 7, 61, 27))
    label(w, "label_4", ".txt", lambda w: w.rect((430, 13, 25, 16)))
    w.close("</widget>")
    label(w, "labelGenCount", "生成个数:", lambda w: w.rect((480, 321, 83, 19)))
    spin_box(w, (555, 315, 57, 26))
    note(w, (10, 349, 460, 111), STORY_NOTE)
    button_box(w, (480, 360, 131, 101), vertical=True)
    footer(w)
    return w.text()


def url_row(w, geometry):
    x, y, width, height = geometry
    label(w, "labelUrl", URL.label, lambda w: w.rect((x, y + 4, 40, 18)))
    w.open(f'<widget class="QComboBox" name="{URL.combo}">')
    w.rect((x + 44, y, width - 44, height))
    w.prop("editable", "bool", "true")
    w.prop("sizeAdjustPolicy", "enum", "QComboBox::AdjustToMinimumContentsLengthWithIcon")
    w.prop("minimumContentsLength", "number", "4")
    w.close("</widget>")


def batch_frame(w, geometry, colon):
    """The batch frame of the two advertisement dialogs: one row of widgets."""
    suffix = ":" if colon else ""
    w.open('<widget class="QFrame" name="frameAutoGenBatch">')
    w.rect(geometry)
    w.prop("frameShape", "enum", "QFrame::NoFrame")
    w.prop("frameShadow", "enum", "QFrame::Raised")
    w.open('<layout class="QHBoxLayout" name="horizontalLayoutBatch">')
    for side in ("leftMargin", "topMargin", "rightMargin", "bottomMargin"):
        w.prop(side, "number", "0")
    for kind, name, text, stretch in (("label", "label_4", "路径" + suffix, 0), ("edit", "textEditDir", "", 5),
                                      ("label", "label_2", "文件名" + suffix, 0), ("edit", "textEditName", "", 2),
                                      ("label", "label_5", ".txt", 0), ("label", "labelGenCount", "生成个数:", 0),
                                      ("spin", "spinBoxGenCount", "", 0)):
        w.open("<item>")
        if kind == "label":
            label(w, name, text)
        elif kind == "edit":
            text_edit(w, name)
        else:
            spin_box(w)
        w.close("</item>")
    w.close("</layout>")
    w.close("</widget>")


def advertisement_form():
    w = Writer()
    w.dialog = "AutoGenInputDialog4Advertisement"
    header(w, w.dialog, (834, 467), "广告自动生成")
    url_row(w, (10, 10, 540, 26))
    grid_group(w, "groupBoxRegion", "产品基本信息", (10, 45, 270, 320), PRODUCT)
    grid_group(w, "groupBoxVehicle", "广告基本信息", (290, 45, 270, 292), CAMPAIGN)
    grid_group(w, "groupBoxRegion_2", "关键词", (570, 10, 254, 148), KEYWORDS)
    grid_group(w, "groupBoxAnimal", "顾客信息", (570, 165, 254, 116), CUSTOMERS)
    note(w, (570, 288, 254, 110), AD_NOTE)
    w.open('<widget class="QCheckBox" name="batchGenCheckBox">')
    w.rect((10, 383, 90, 24))
    w.string("text", "批量生成")
    w.prop("checked", "bool", "true")
    w.close("</widget>")
    batch_frame(w, (100, 376, 460, 38), colon=True)
    button_box(w, (570, 420, 254, 32), vertical=False)
    order = [URL.combo] + [f.combo for f in PRODUCT + CAMPAIGN + KEYWORDS + CUSTOMERS] + ["buttonBox"]
    footer(w, order)
    return w.text()


def advertorial_form():
    w = Writer()
    w.dialog = "AutoGenInputDialog4AdvertisementSoft"
    header(w, w.dialog, (816, 571), "软文自动生成")
    url_row(w, (10, 10, 530, 26))
    grid_group(w, "groupBox", "主人公和场景", (10, 45, 258, 262), HEROES)
    grid_group(w, "groupBoxRegion_2", "关键词", (10, 313, 258, 148), KEYWORDS)
    grid_group(w, "groupBoxVehicle", "广告基本信息", (280, 45, 258, 292), CAMPAIGN)
    grid_group(w, "groupBoxAnimal", "顾客信息", (280, 343, 258, 116), CUSTOMERS)
    grid_group(w, "groupBoxRegion", "产品基本信息", (550, 45, 258, 320), PRODUCT)
    note(w, (550, 368, 258, 112), AD_NOTE)
    button_box(w, (550, 484, 258, 32), vertical=False)
    batch_frame(w, (10, 522, 796, 38), colon=False)
    order = [URL.combo] + [f.combo for f in HEROES + CAMPAIGN + PRODUCT + KEYWORDS + CUSTOMERS] + ["buttonBox"]
    footer(w, order)
    return w.text()

# ---- Field table for the program ------------------------------------------------------------


def cpp_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def field_table():
    out = ["// Written by Forms/make-autogen-forms.py from its field table; edit the table there",
           "// and run the script again.", "", '#include "AutoGenInputFields.h"', "", "namespace {", ""]
    tables = (("storyFields", STORY_FIELDS), ("advertisementFields", AD_FIELDS), ("advertorialOwnFields", HEROES))
    for array, fields in tables:
        out.append(f"const AutoGenInputField {array}[] = {{")
        for f in fields:
            out.append(f"    {{{cpp_string(f.combo)}, {cpp_string(f.name)}, {cpp_string(f.placeholder)}, "
                       f"{cpp_string(f.word_list)}, {'true' if f.linked else 'false'}}},")
        out.append("};")
        out.append("")
    out.append("template <size_t N>")
    out.append("QVector<AutoGenInputField> toVector(const AutoGenInputField (&fields)[N])")
    out.append("{")
    out.append("    return QVector<AutoGenInputField>(fields, fields + N);")
    out.append("}")
    out.append("")
    out.append("} // namespace")
    out.append("")
    out.append("const QVector<AutoGenInputField>& autoGenInputFields(AutoGenForm form)")
    out.append("{")
    out.append("    static const QVector<AutoGenInputField> story = toVector(storyFields);")
    out.append("    static const QVector<AutoGenInputField> advertisement = toVector(advertisementFields);")
    out.append("    // The advertorial: the URL, its own rows, then the advertisement's other rows.")
    out.append("    static const QVector<AutoGenInputField> advertorial =")
    out.append("        advertisement.mid(0, 1) + toVector(advertorialOwnFields) + advertisement.mid(1);")
    out.append("    switch (form) {")
    out.append("    case AutoGenForm::Advertisement:")
    out.append("        return advertisement;")
    out.append("    case AutoGenForm::Advertorial:")
    out.append("        return advertorial;")
    out.append("    case AutoGenForm::Story:")
    out.append("        break;")
    out.append("    }")
    out.append("    return story;")
    out.append("}")
    return "\n".join(out) + "\n"


def main():
    outputs = {
        "Forms/AutoGenInputDialog.ui": story_form(),
        "Forms/AutoGenInputDialog4Advertisement.ui": advertisement_form(),
        "Forms/AutoGenInputDialog4AdvertisementSoft.ui": advertorial_form(),
        "Sources/generation/AutoGenInputFieldTable.cpp": field_table(),
    }
    assert len(STORY_FIELDS) == 72 and len(AD_FIELDS) == 27 and len(SOFT_FIELDS) == 35
    for relative, text in outputs.items():
        with open(os.path.join(TOP, relative), "w", encoding="utf-8") as handle:
            handle.write(text)
        print("wrote " + relative)


if __name__ == "__main__":
    main()
