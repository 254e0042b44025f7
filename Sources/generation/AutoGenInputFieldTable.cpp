// Written by Forms/make-autogen-forms.py from its field table; edit the table there
// and run the script again.

#include "AutoGenInputFields.h"

namespace {

const AutoGenInputField storyFields[] = {
    {"comboBoxMan1Name", "Man1Name", "__MAN1_NAME__", "", false},
    {"comboBoxMan1Occupation", "Man1Occupation", "__MAN1_OCCUPATION1_NAME__", "职业.txt", false},
    {"comboBoxMan1Character", "Man1Character", "__MAN1_CHARACTER1_NAME__", "特长.txt", false},
    {"comboBoxMan1Defect", "Man1Defect", "__MAN1_DEFECT1_NAME__", "弱点.txt", false},
    {"comboBoxMan1Habit", "Man1Habit", "__MAN1_HABIT1_NAME__", "习惯.txt", false},
    {"comboBoxMan1Behavior", "Man1Behavior", "__MAN1_BEHAVIOR1_NAME__", "目标.txt", false},
    {"comboBoxMan1Props", "Man1Props", "__MAN1_PROPS1_NAME__", "道具.txt", false},
    {"comboBoxMan1Weapon", "Man1Weapon", "__MAN1_WEAPON1_NAME__", "兵器.txt", false},
    {"comboBoxWoman1Name", "Woman1Name", "__WOMAN1_NAME__", "", false},
    {"comboBoxWoman1Occupation", "Woman1Occupation", "__WOMAN1_OCCUPATION1_NAME__", "职业.txt", false},
    {"comboBoxWoman1Character", "Woman1Character", "__WOMAN1_CHARACTER1_NAME__", "特长.txt", false},
    {"comboBoxWoman1Defect", "Woman1Defect", "__WOMAN1_DEFECT1_NAME__", "弱点.txt", false},
    {"comboBoxWoman1Habit", "Woman1Habit", "__WOMAN1_HABIT1_NAME__", "习惯.txt", false},
    {"comboBoxWoman1Behavior", "Woman1Behavior", "__WOMAN1_BEHAVIOR1_NAME__", "目标.txt", false},
    {"comboBoxWoman1Props", "Woman1Props", "__WOMAN1_PROPS1_NAME__", "道具.txt", false},
    {"comboBoxWoman1Weapon", "Woman1Weapon", "__WOMAN1_WEAPON1_NAME__", "兵器.txt", false},
    {"comboBoxOpponent1Name", "Opponent1Name", "__OPPONENT1_NAME__", "", false},
    {"comboBoxOpponent1Occupation", "Opponent1Occupation", "__OPPONENT1_OCCUPATION1_NAME__", "职业.txt", false},
    {"comboBoxOpponent1Character", "Opponent1Character", "__OPPONENT1_CHARACTER1_NAME__", "特长.txt", false},
    {"comboBoxOpponent1Defect", "Opponent1Defect", "__OPPONENT1_DEFECT1_NAME__", "弱点.txt", false},
    {"comboBoxOpponent1Habit", "Opponent1Habit", "__OPPONENT1_HABIT1_NAME__", "习惯.txt", false},
    {"comboBoxOpponent1Behavior", "Opponent1Behavior", "__OPPONENT1_BEHAVIOR1_NAME__", "目标.txt", false},
    {"comboBoxOpponent1Props", "Opponent1Props", "__OPPONENT1_PROPS1_NAME__", "道具.txt", false},
    {"comboBoxOpponent1Weapon", "Opponent1Weapon", "__OPPONENT1_WEAPON1_NAME__", "兵器.txt", false},
    {"comboBoxOpponent2Name", "Opponent2Name", "__OPPONENT2_NAME__", "", false},
    {"comboBoxOpponent2Occupation", "Opponent2Occupation", "__OPPONENT2_OCCUPATION1_NAME__", "职业.txt", false},
    {"comboBoxOpponent2Character", "Opponent2Character", "__OPPONENT2_CHARACTER1_NAME__", "特长.txt", false},
    {"comboBoxOpponent2Defect", "Opponent2Defect", "__OPPONENT2_DEFECT1_NAME__", "弱点.txt", false},
    {"comboBoxOpponent2Habit", "Opponent2Habit", "__OPPONENT2_HABIT1_NAME__", "习惯.txt", false},
    {"comboBoxOpponent2Behavior", "Opponent2Behavior", "__OPPONENT2_BEHAVIOR1_NAME__", "目标.txt", false},
    {"comboBoxOpponent2Props", "Opponent2Props", "__OPPONENT2_PROPS1_NAME__", "道具.txt", false},
    {"comboBoxOpponent2Weapon", "Opponent2Weapon", "__OPPONENT2_WEAPON1_NAME__", "兵器.txt", false},
    {"comboBoxOpponent3Name", "Opponent3Name", "__OPPONENT3_NAME__", "", false},
    {"comboBoxOpponent3Occupation", "Opponent3Occupation", "__OPPONENT3_OCCUPATION1_NAME__", "职业.txt", false},
    {"comboBoxOpponent3Character", "Opponent3Character", "__OPPONENT3_CHARACTER1_NAME__", "特长.txt", false},
    {"comboBoxOpponent3Defect", "Opponent3Defect", "__OPPONENT3_DEFECT1_NAME__", "弱点.txt", false},
    {"comboBoxOpponent3Habit", "Opponent3Habit", "__OPPONENT3_HABIT1_NAME__", "习惯.txt", false},
    {"comboBoxOpponent3Behavior", "Opponent3Behavior", "__OPPONENT3_BEHAVIOR1_NAME__", "目标.txt", false},
    {"comboBoxOpponent3Props", "Opponent3Props", "__OPPONENT3_PROPS1_NAME__", "道具.txt", false},
    {"comboBoxOpponent3Weapon", "Opponent3Weapon", "__OPPONENT3_WEAPON1_NAME__", "兵器.txt", false},
    {"comboBoxMaleSupportRole1", "MaleSupportRole1", "__MALE_SUPPORT_ROLE1_NAME__", "", false},
    {"comboBoxMaleSupportRole2", "MaleSupportRole2", "__MALE_SUPPORT_ROLE2_NAME__", "", false},
    {"comboBoxMaleSupportRole3", "MaleSupportRole3", "__MALE_SUPPORT_ROLE3_NAME__", "", false},
    {"comboBoxMaleSupportRole4", "MaleSupportRole4", "__MALE_SUPPORT_ROLE4_NAME__", "", false},
    {"comboBoxFemaleSupportRole1", "FemaleSupportRole1", "__FEMALE_SUPPORT_ROLE1_NAME__", "", false},
    {"comboBoxFemaleSupportRole2", "FemaleSupportRole2", "__FEMALE_SUPPORT_ROLE2_NAME__", "", false},
    {"comboBoxFemaleSupportRole3", "FemaleSupportRole3", "__FEMALE_SUPPORT_ROLE3_NAME__", "", false},
    {"comboBoxFemaleSupportRole4", "FemaleSupportRole4", "__FEMALE_SUPPORT_ROLE4_NAME__", "", false},
    {"comboBoxRegion1", "Region1", "__REGION1_NAME__", "地区.txt", false},
    {"comboBoxRegion2", "Region2", "__REGION2_NAME__", "地区.txt", false},
    {"comboBoxRegion3", "Region3", "__REGION3_NAME__", "地区.txt", false},
    {"comboBoxRegion4", "Region4", "__REGION4_NAME__", "地区.txt", false},
    {"comboBoxScene1", "Scene1", "__SCENE1_NAME__", "场景.txt", false},
    {"comboBoxScene2", "Scene2", "__SCENE2_NAME__", "场景.txt", false},
    {"comboBoxScene3", "Scene3", "__SCENE3_NAME__", "场景.txt", false},
    {"comboBoxScene4", "Scene4", "__SCENE4_NAME__", "场景.txt", false},
    {"comboBoxIndustry1", "Industry1", "__INDUSTRY1_NAME__", "行业.txt", false},
    {"comboBoxIndustry2", "Industry2", "__INDUSTRY2_NAME__", "行业.txt", false},
    {"comboBoxIndustry3", "Industry3", "__INDUSTRY3_NAME__", "行业.txt", false},
    {"comboBoxIndustry4", "Industry4", "__INDUSTRY4_NAME__", "行业.txt", false},
    {"comboBoxAnimal1", "Animal1", "__ANIMAL1_NAME__", "动物.txt", false},
    {"comboBoxAnimal2", "Animal2", "__ANIMAL2_NAME__", "动物.txt", false},
    {"comboBoxAnimal3", "Animal3", "__ANIMAL3_NAME__", "动物.txt", false},
    {"comboBoxAnimal4", "Animal4", "__ANIMAL4_NAME__", "动物.txt", false},
    {"comboBoxVehicle1", "Vehicle1", "__VEHICLE1_NAME__", "交通工具.txt", false},
    {"comboBoxVehicle2", "Vehicle2", "__VEHICLE2_NAME__", "交通工具.txt", false},
    {"comboBoxVehicle3", "Vehicle3", "__VEHICLE3_NAME__", "交通工具.txt", false},
    {"comboBoxVehicle4", "Vehicle4", "__VEHICLE4_NAME__", "交通工具.txt", false},
    {"comboBoxCommunicationTool1", "CommunicationTool1", "__COMMUNICATION1_TOOL_NAME__", "通讯工具.txt", false},
    {"comboBoxCommunicationTool2", "CommunicationTool2", "__COMMUNICATION2_TOOL_NAME__", "通讯工具.txt", false},
    {"comboBoxCommunicationTool3", "CommunicationTool3", "__COMMUNICATION3_TOOL_NAME__", "通讯工具.txt", false},
    {"comboBoxCommunicationTool4", "CommunicationTool4", "__COMMUNICATION4_TOOL_NAME__", "通讯工具.txt", false},
};

const AutoGenInputField advertisementFields[] = {
    {"comboBoxUrl", "Url", "__ADVERTISEMENT_URL__", "网址.txt", false},
    {"comboBoxProductName", "ProductName", "__PRODUCT_NAME__", "产品名.txt", true},
    {"comboBoxBrandName", "BrandName", "__BRAND_NAME__", "品牌名.txt", true},
    {"comboBoxManufactureName", "ManufactureName", "__MANUFACTURE_NAME__", "生产商.txt", true},
    {"comboBoxDistributorName", "DistributorName", "__DISTRIBUTOR_NAME__", "销售商.txt", false},
    {"comboBoxPrice", "Price", "__PRICE_VALUE__", "价格.txt", false},
    {"comboBoxMedia", "Media", "__MEDIA_NAME__", "媒体.txt", false},
    {"comboBoxAdministrator", "Administrator", "__ADMINISTRATOR_NAME__", "机构.txt", false},
    {"comboBoxExpert", "Expert", "__EXPERT_NAME__", "专家.txt", false},
    {"comboBoxPrize", "Prize", "__PRIZE_NAME__", "荣誉.txt", false},
    {"comboBoxAdaptName", "AdaptName", "__ADAPT_NAME__", "适应症状.txt", false},
    {"comboBoxAdaptPeopleName", "AdaptPeopleName", "__ADAPT_PEOPLE_NAME__", "适应人群.txt", false},
    {"comboBoxTime", "Time", "__TIME_VALUE__", "时间.txt", false},
    {"comboBoxSalePlaceName", "SalePlaceName", "__SALE_PLACE_NAME__", "销售地.txt", true},
    {"comboBoxMadePlaceName", "MadePlaceName", "__MADE_PLACE_NAME__", "原产地.txt", false},
    {"comboBoxMeritName", "MeritName", "__MERIT_NAME__", "产品优点.txt", false},
    {"comboBoxProperty", "Property", "__PROPERTY_NAME__", "产品属性.txt", false},
    {"comboBoxTheory", "Theory", "__THEORY_NAME__", "产品原理.txt", false},
    {"comboBoxMaterial", "Material", "__MATERIAL_NAME__", "材料.txt", false},
    {"comboBoxProcess", "Process", "__PROCESS_NAME__", "工艺.txt", false},
    {"comboBoxKeyword1", "Keyword1", "__KEYWORD1_NAME__", "关键词.txt", true},
    {"comboBoxKeyword2", "Keyword2", "__KEYWORD2_NAME__", "关键词.txt", true},
    {"comboBoxKeyword3", "Keyword3", "__KEYWORD3_NAME__", "关键词.txt", true},
    {"comboBoxKeyword4", "Keyword4", "__KEYWORD4_NAME__", "关键词.txt", true},
    {"comboBoxCustomer1Name", "Customer1Name", "__CUSTOMER1_NAME__", "顾客姓名.txt", false},
    {"comboBoxCustomer2Name", "Customer2Name", "__CUSTOMER2_NAME__", "顾客姓名.txt", false},
    {"comboBoxCustomer3Name", "Customer3Name", "__CUSTOMER3_NAME__", "顾客姓名.txt", false},
};

const AutoGenInputField advertorialOwnFields[] = {
    {"comboBoxMan1", "Man1", "__MAN1_NAME__", "男主人公.txt", false},
    {"comboBoxMan1Occupation", "Man1Occupation", "__MAN1_OCCUPATION__", "男主人公职业.txt", false},
    {"comboBoxMan1Age", "Man1Age", "__MAN1_AGE__", "年龄.txt", false},
    {"comboBoxWoman1", "Woman1", "__WOMAN1_NAME__", "女主人公.txt", false},
    {"comboBoxWoman1Occupation", "Woman1Occupation", "__WOMAN1_OCCUPATION__", "女主人公职业.txt", false},
    {"comboBoxWoman1Age", "Woman1Age", "__WOMAN1_AGE__", "年龄.txt", false},
    {"comboBoxScene1", "Scene1", "__SCENE1_NAME__", "场景.txt", false},
    {"comboBoxScene2", "Scene2", "__SCENE2_NAME__", "场景.txt", false},
};

template <size_t N>
QVector<AutoGenInputField> toVector(const AutoGenInputField (&fields)[N])
{
    return QVector<AutoGenInputField>(fields, fields + N);
}

} // namespace

const QVector<AutoGenInputField>& autoGenInputFields(AutoGenForm form)
{
    static const QVector<AutoGenInputField> story = toVector(storyFields);
    static const QVector<AutoGenInputField> advertisement = toVector(advertisementFields);
    // The advertorial: the URL, its own rows, then the advertisement's other rows.
    static const QVector<AutoGenInputField> advertorial =
        advertisement.mid(0, 1) + toVector(advertorialOwnFields) + advertisement.mid(1);
    switch (form) {
    case AutoGenForm::Advertisement:
        return advertisement;
    case AutoGenForm::Advertorial:
        return advertorial;
    case AutoGenForm::Story:
        break;
    }
    return story;
}
