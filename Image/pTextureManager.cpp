#include "Image/pTextureManager.h"

#include "Image/pTextureLoader.h"

pTextureManager* pTextureManager::instance() {
    static pTextureManager* instance_ = new pTextureManager();
    return instance_;
}

pTexture* pTextureManager::getTexture(const std::string& path) {
    auto found = textures_.find(path);
    if (found != textures_.end()) {
        return found->second;
    }
    pTexture* texture = pTextureLoader::instance()->loadTexture(path, false, false);
    if (texture) {
        textures_[path] = texture;
    }
    return texture;
}

void pTextureManager::clearTextures() {
    for (auto& entry : textures_) {
        delete entry.second;
    }
    textures_.clear();
}
