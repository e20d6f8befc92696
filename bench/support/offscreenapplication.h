#pragma once
// A benchmark's application, started as the program starts: the heap policy first, then a
// QApplication on the offscreen platform whose settings go to a scratch folder (removed at the
// end) and never to the user's.

#include <QTemporaryDir>

#include <memory>

class QApplication;

class OffscreenApplication
{
public:
    OffscreenApplication(int &argc, char **argv);
    ~OffscreenApplication();

    const QTemporaryDir &scratch() const { return m_scratch; }

private:
    struct HeapPolicyFirst
    {
        HeapPolicyFirst();
    } m_heapPolicy; // before any other member
    QTemporaryDir m_scratch;
    std::unique_ptr<QApplication> m_application;
};
