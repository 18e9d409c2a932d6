#include "star_census.h"

#include <algorithm>
#include <set>

namespace keyfall::test {

std::vector<Speck> findSpecks(const BmpFile& image)
{
    const Rgb black {};
    std::vector<bool> visited(image.pixels.size(), false);
    std::vector<Speck> specks;
    for (int startY = 0; startY < image.height; ++startY) {
        for (int startX = 0; startX < image.width; ++startX) {
            const auto start = static_cast<std::size_t>(startY * image.width + startX);
            if (visited[start] || image.pixels[start] == black)
                continue;
            visited[start] = true;
            std::vector<std::pair<int, int>> pending { { startX, startY } };
            std::vector<std::pair<int, int>> members;
            std::set<Rgb> colours;
            Speck speck;
            while (!pending.empty()) {
                const auto [x, y] = pending.back();
                pending.pop_back();
                members.push_back({ x, y });
                colours.insert(image.at(x, y));
                speck.peakRed = std::max(speck.peakRed, image.at(x, y).red);
                for (const auto& [nx, ny] :
                    { std::pair { x + 1, y }, { x - 1, y }, { x, y + 1 }, { x, y - 1 } }) {
                    if (nx < 0 || ny < 0 || nx >= image.width || ny >= image.height)
                        continue;
                    const auto neighbour = static_cast<std::size_t>(ny * image.width + nx);
                    if (!visited[neighbour] && image.pixels[neighbour] != black) {
                        visited[neighbour] = true;
                        pending.push_back({ nx, ny });
                    }
                }
            }
            speck.size = static_cast<int>(members.size());
            speck.distinctColours = static_cast<int>(colours.size());
            speck.horizontalDashOfEqualPixels
                = speck.size == 2 && members[0].second == members[1].second && colours.size() == 1;
            specks.push_back(speck);
        }
    }
    return specks;
}

}
