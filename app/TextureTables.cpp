#include "app/TextureTables.h"

TexturePairs playerTextures()
{
    const std::pair<int, int> body(0, 1), nose(10, 11), noseHair(8, 9), teeth(4, 5), eye(2, 3), tail(6, 7);
    TexturePairs pairs;
    auto add = [&pairs](std::pair<int, int> pair, int count) { pairs.insert(pairs.end(), count, pair); };
    add(body, 4);
    add(nose, 1);
    add(noseHair, 6);
    add(teeth, 2);
    add(eye, 2);
    add(tail, 1);
    for (int leg = 0; leg < 4; ++leg) { // upper legs in fur, paws and toes in the tail's skin
        add(body, 2);
        add(tail, 3);
    }
    add(body, 2); // the ears
    return pairs;
}

TexturePairs levelTextures()
{
    const std::pair<int, int> brick(12, 13), ground(18, 19), stone(16, 17), water(14, 15), cheeseSide(20, 21),
        cheeseTop(22, 23);
    TexturePairs pairs{brick, ground};
    pairs.insert(pairs.end(), 8, stone);
    pairs.insert(pairs.end(), 4, brick);
    pairs.insert(pairs.end(), {water, stone, brick, cheeseSide, cheeseTop});
    return pairs;
}
