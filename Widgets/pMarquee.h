#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

// A band of the screen through which a list of text messages scrolls, one after another. The
// derived marquees decide the direction of travel; this holds the list and the play modes.
class pMarquee {
public:
    static const double DEFAULT_MESSAGE_DELAY;

    std::string font;
    bool randomPlay;
    bool continuousPlay;
    bool loop;
    bool finished;
    // Continuous play: least distance in pixels between the end of one message and the next.
    unsigned int messageGap;
    // One at a time: milliseconds to wait before the next message starts to move.
    double messageDelay;
    unsigned int delayMark;
    bool waiting;
    // Text and flags; bit 0 of the flags means the message has been played.
    std::vector<std::pair<std::string, int>> messages;
    float textSize;
    // Pixels per millisecond; negative moves left (or up).
    float speed;
    // Messages on screen, oldest first: index into `messages` and position of the leading edge.
    std::deque<std::pair<unsigned int, double>> active;

    pMarquee(float textSize, float speed, std::string font);
    virtual ~pMarquee();
    virtual void update(double dt) = 0;
    virtual void draw() = 0;

    void setRandomPlay(bool value) { randomPlay = value; }
    void setContinuousPlay(bool value) { continuousPlay = value; }
    void setLoop(bool value) { loop = value; }
    void setMessageGap(unsigned int value) { messageGap = value; }

    void addMessage(std::string text);
    // Starts from the beginning; call it after the last addMessage.
    void makeReady();
    void addSequentialMessage(unsigned int previous);
    void addRandomMessage();

protected:
    // Where a message enters the band.
    virtual double startPosition(unsigned int index) = 0;
    // Whether the newest message has moved far enough in for the next one to follow.
    virtual bool roomAfter(unsigned int index, double position) = 0;
    // Whether a message has wholly left the band.
    virtual bool hasLeft(unsigned int index, double position) = 0;

    // The shared step of update(): moves, starts and retires messages.
    void scroll(double dt);
    void startMessage(unsigned int index);

private:
    static const int PLAYED = 1;

    void startNext(unsigned int previous);
    bool played(unsigned int index) const { return (messages[index].second & PLAYED) != 0; }
    void markPlayed(unsigned int index) { messages[index].second |= PLAYED; }
};
