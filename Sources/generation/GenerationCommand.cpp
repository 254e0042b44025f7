#include "GenerationCommand.h"

namespace {

using C = GenerationCommand;

const GenerationCommand commands[] = {
    // Story elements and novel genres (autoGenGeneric)
    {"标题", "Templates/标题.tqw", 4, C::Genre},
    {"美女", "Templates/美女.tqw", 5, C::Genre},
    {"帅哥", "Templates/帅哥.tqw", 6, C::Genre},
    {"职业", "Templates/职业.tqw", 7, C::Genre},
    {"装束", "Templates/装束.tqw", 8, C::Genre},
    {"爱好", "Templates/爱好.tqw", 9, C::Genre},
    {"特长", "Templates/特长.tqw", 10, C::Genre},
    {"道具", "Templates/道具.tqw", 11, C::Genre},
    {"兵器", "Templates/兵器.tqw", 12, C::Genre},
    {"宠物", "Templates/宠物.tqw", 13, C::Genre},
    {"经历", "Templates/经历.tqw", 14, C::Genre},
    {"秘密", "Templates/秘密.tqw", 15, C::Genre},
    {"个性", "Templates/个性.tqw", 16, C::Genre},
    {"恋人", "Templates/恋人.tqw", 17, C::Genre},
    {"伤病", "Templates/伤病.tqw", 18, C::Genre},
    {"思想", "Templates/思想.tqw", 19, C::Genre},
    {"愿望", "Templates/愿望.tqw", 20, C::Genre},
    {"误会", "Templates/误会.tqw", 21, C::Genre},
    {"对手", "Templates/对手.tqw", 22, C::Genre},
    {"配角", "Templates/配角.tqw", 23, C::Genre},
    {"习惯", "Templates/习惯.tqw", 24, C::Genre},
    {"死亡", "Templates/死亡.tqw", 25, C::Genre},
    {"语言", "Templates/语言.tqw", 26, C::Genre},
    {"恋爱", "Templates/恋爱.tqw", 27, C::Genre},
    {"关系", "Templates/关系.tqw", 28, C::Genre},
    {"景观", "Templates/景观.tqw", 29, C::Genre},
    {"自建", "Templates/自建语段.tqw", 32, C::Genre},
    {"打斗", "Templates/打斗.tqw", 33, C::Genre},
    {"场景", "Templates/场景.tqw", 34, C::Genre},
    {"台词", "Templates/台词.tqw", 35, C::Genre},
    {"巧合", "Templates/巧合.tqw", 36, C::Genre},
    {"情感", "Templates/情绪.tqw", 37, C::Genre},
    {"都市言情", "Templates/都市言情.tqw", 38, C::Genre},
    {"武侠", "Templates/武侠.tqw", 39, C::Genre},
    {"冒险", "Templates/冒险.tqw", 40, C::Genre},
    {"复仇", "Templates/复仇.tqw", 41, C::Genre},
    {"爱情", "Templates/爱情.tqw", 42, C::Genre},
    {"励志", "Templates/励志.tqw", 43, C::Genre},
    {"商战", "Templates/商战.tqw", 44, C::Genre},
    {"职场", "Templates/职场.tqw", 45, C::Genre},
    {"人物设计", "Templates/人物设计.tqw", 46, C::Design},
    {"故事设计", "Templates/故事设计.tqw", 47, C::Design},
    {"悬疑", "Templates/悬疑.tqw", 48, C::Genre},
    {"校园爱情", "Templates/校园爱情.tqw", 49, C::Genre},
    {"科幻", "Templates/科幻.tqw", 50, C::Genre},
    {"宫斗", "Templates/宫斗.tqw", 51, C::Genre},
    {"童话", "Templates/童话.tqw", 52, C::Genre},
    // Story slots, love letter, poem
    {"梗概", "Templates/梗概.tqw", 0, C::Story},
    {"开头", "Templates/开头.tqw", 0, C::Story},
    {"搭讪", "Templates/搭讪.tqw", 0, C::Story},
    {"对话", "Templates/对话.tqw", 0, C::Story},
    {"相爱", "Templates/相爱.tqw", 0, C::Story},
    {"人物", "Templates/人物.tqw", 0, C::Story},
    {"故事", "Templates/故事.tqw", 0, C::Story},
    {"战争", "Templates/战争.tqw", 53, C::Story},
    {"情书", "Templates/情书.tqw", 0, C::AtOnce},
    {"诗歌", "Templates/诗歌.tqw", 55, C::Poem},
    // Advertisements
    {"广告", "Templates/广告.tqw", 2, C::Advertisement},
    {"软文", "Templates/软文.tqw", 3, C::Advertisement},
    {"服装", "Templates/服装.tqw", 2, C::Advertisement},
    {"保健", "Templates/保健.tqw", 2, C::Advertisement},
    {"美容", "Templates/美容.tqw", 2, C::Advertisement},
    {"旅游", "Templates/旅游.tqw", 2, C::Advertisement},
    {"餐饮", "Templates/餐饮.tqw", 2, C::Advertisement},
    {"食品", "Templates/食品.tqw", 2, C::Advertisement},
    // News, official documents and other genres
    {"新闻", "Templates/新闻.tqw", 0, C::AtOnce},
    {"国际新闻", "Templates/新闻/国际新闻.tqw", 0, C::AtOnce},
    {"国内新闻", "Templates/新闻/国内新闻.tqw", 0, C::AtOnce},
    {"文化新闻", "Templates/新闻/文化新闻.tqw", 0, C::AtOnce},
    {"娱乐新闻", "Templates/新闻/娱乐新闻.tqw", 0, C::AtOnce},
    {"体育新闻", "Templates/新闻/体育新闻.tqw", 0, C::AtOnce},
    {"科技新闻", "Templates/新闻/科技新闻.tqw", 0, C::AtOnce},
    {"房产新闻", "Templates/新闻/房产新闻.tqw", 0, C::AtOnce},
    {"汽车新闻", "Templates/新闻/汽车新闻.tqw", 0, C::AtOnce},
    {"政治", "Templates/政治.tqw", 0, C::AtOnce},
    {"党务", "Templates/党务.tqw", 0, C::AtOnce},
    {"外交", "Templates/外交.tqw", 0, C::AtOnce},
    {"工业", "Templates/工业.tqw", 0, C::AtOnce},
    {"经济", "Templates/经济.tqw", 0, C::AtOnce},
    {"农业", "Templates/农业.tqw", 0, C::AtOnce},
    {"文化", "Templates/文化.tqw", 0, C::AtOnce},
    {"教育", "Templates/教育.tqw", 0, C::AtOnce},
    {"公益", "Templates/公益.tqw", 0, C::AtOnce},
    {"民族", "Templates/民族.tqw", 0, C::AtOnce},
    {"宗教", "Templates/宗教.tqw", 0, C::AtOnce},
    {"防灾", "Templates/防灾.tqw", 0, C::AtOnce},
    {"环保", "Templates/环保.tqw", 0, C::AtOnce},
    {"日记", "Templates/日记.tqw", 0, C::AtOnce},
    {"散文", "Templates/散文.tqw", 0, C::AtOnce},
    {"书信", "Templates/书信.tqw", 0, C::AtOnce},
};

} // namespace

const QVector<GenerationCommand>& GenerationCommand::all()
{
    static const QVector<GenerationCommand> table(std::begin(commands), std::end(commands));
    return table;
}

const GenerationCommand* GenerationCommand::ofText(const QString& text)
{
    for (const GenerationCommand& command : all()) {
        if (text == QString::fromUtf8(command.text))
            return &command;
    }
    return nullptr;
}

QString GenerationCommand::genreTemplate(int type)
{
    for (const GenerationCommand& command : all()) {
        if ((command.kind == Genre || command.kind == Design) && command.type == type)
            return command.path();
    }
    return QString();
}
